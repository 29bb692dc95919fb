// Saving under a name, the exports, printing and the tab menu's file
// commands: each forwards to the current view.

#include "CMainFrame.h"

#include "CSVGView.h"
#include "Platform.h"

#include <QAction>
#include <QDesktopServices>
#include <QUrl>

void CMainFrame::filePrint()
{
    onCurrentView(&CSVGView::print);
}

void CMainFrame::fileSaveAs()
{
    if (m_currentView) {
        QString name;
        m_currentView->saveFileAs(name);
        if (!name.isEmpty())
            nameDrawing(m_currentView, name, m_currentView->getFilePath());
    }
    updateActionStates();
}

void CMainFrame::fileSaveASDxf()
{
    onCurrentView(&CSVGView::saveAsDxf);
}

void CMainFrame::fileSaveASJpg()
{
    onCurrentView(&CSVGView::saveAsJpg);
}

void CMainFrame::fileSaveASPng()
{
    onCurrentView(&CSVGView::saveAsPng);
}

void CMainFrame::OpenFolder(QAction* action)
{
    Platform::showInFolder(action->data().toString());
}

void CMainFrame::OpenByDefault(QAction* action)
{
    QDesktopServices::openUrl(QUrl::fromLocalFile(action->data().toString()));
}

// The view may have gone since the menu was made.
void CMainFrame::ReLoadFile(QAction* action)
{
    if (auto* view = qobject_cast<CSVGView*>(action->data().value<QObject*>()))
        view->reloadFile();
}
