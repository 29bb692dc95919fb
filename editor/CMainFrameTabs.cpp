// The document tabs: new documents, opened files and designs, closing, the
// tab menu, the close guard and the recovery of autosaved documents.

#include "CMainFrame.h"

#include "BlowfishFileCipher.h"
#include "CGlobalConfig.h"
#include "CNewFileView.h"
#include "CSVGScene.h"
#include "CSVGView.h"
#include "CTabWidgetEx.h"
#include "Prompt.h"
#include "SVGApplication.h"
#include "SVGClipboard.h"
#include "SvgCodes.h"

#include <QAction>
#include <QActionGroup>
#include <QCloseEvent>
#include <QDir>
#include <QDockWidget>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QGraphicsPathItem>
#include <QMenu>
#include <QMimeData>
#include <QSettings>
#include <QTabBar>
#include <QTextDocument>
#include <QUrlQuery>

#include <algorithm>

namespace {
// One test for every way a file comes in: a name ending in ".svg", any case.
bool isSvgPath(const QString& path)
{
    return path.size() > 4 && path.endsWith(QLatin1String(".svg"), Qt::CaseInsensitive);
}

// A tooltip takes what looks like markup for rich text: a name shows as
// typed all the same.
QString asToolTip(const QString& text)
{
    return Qt::mightBeRichText(text) ? QStringLiteral("<p style='white-space:pre'>%1</p>").arg(text.toHtmlEscaped())
                                     : text;
}

// The pages add a query of their own to a package's address ("r" in the
// saved versions, "timestamp" in the data centre), new at every fetch, so
// that no cache answers with an older package: the design is the address
// without it.
QString designAddress(const QString& source)
{
    QUrl url(source);
    QUrlQuery query(url);
    if (!url.isValid() || query.isEmpty())
        return source;
    for (const QString& key : { QStringLiteral("r"), QStringLiteral("timestamp") })
        query.removeAllQueryItems(key);
    url.setQuery(query.isEmpty() ? QString() : query.query(QUrl::FullyEncoded), QUrl::StrictMode);
    return url.toString(QUrl::FullyEncoded);
}
} // namespace

int CMainFrame::newFileTabIndex() const
{
    for (int i = m_tabs->count() - 1; i >= 0; --i) {
        if (qobject_cast<CNewFileView*>(m_tabs->widget(i)))
            return i;
    }
    return m_tabs->count();
}

// One more than the highest number of a new document's tab, restored ones
// among them; 1 when there is none.
int CMainFrame::nextNewFileNumber() const
{
    const QString prefix = tr("New File");
    int highest = 0;
    for (const CSVGView* view : views(0)) {
        const QString text = view->displayName();
        const int number = text == newFileTitle(1) ? 1 : text.startsWith(prefix) ? text.mid(prefix.size()).toInt() : 0;
        highest = std::max(highest, number);
    }
    return highest + 1;
}

QString CMainFrame::newFileTitle(int number)
{
    return number == 1 ? tr("New File1") : tr("New File") + QString::number(number);
}

// A new document's tab keeps its number and speaks the interface language
// until the document gets a name of its own.
void CMainFrame::retranslateNewFileTitles()
{
    for (int i = 0; i < m_tabs->count(); ++i) {
        auto* view = qobject_cast<CSVGView*>(m_tabs->widget(i));
        const QVariantList given = m_tabs->tabBar()->tabData(i).toList();
        if (!view || given.size() != 2 || view->displayName() != given[1].toString())
            continue;
        const QString title = newFileTitle(given[0].toInt());
        m_tabs->tabBar()->setTabData(i, QVariantList { given[0], title });
        setTabName(view, title, title);
    }
}

void CMainFrame::setTabName(CSVGView* view, const QString& name, const QString& toolTip)
{
    m_tabs->setTabToolTip(m_tabs->indexOf(view), asToolTip(toolTip));
    view->setDisplayName(uniqueDisplayName(name, view));
}

// Two drawings of one name (two designs stored under it, files of one name
// from two folders) are told apart by a number, as "door (2)".
QString CMainFrame::uniqueDisplayName(const QString& wanted, const CSVGView* owner) const
{
    const QList<CSVGView*> open = views(0);
    const auto taken = [&](const QString& name) {
        return std::any_of(open.begin(), open.end(),
            [&](const CSVGView* view) { return view != owner && view->displayName() == name; });
    };
    QString name = wanted;
    for (int n = 2; taken(name); ++n)
        name = QStringLiteral("%1 (%2)").arg(wanted).arg(n);
    return name;
}

void CMainFrame::nameDrawing(CSVGView* view, const QString& name, const QString& toolTip)
{
    const int index = m_tabs->indexOf(view);
    if (index < 0)
        return;
    m_tabs->tabBar()->setTabData(index, QVariant());
    setTabName(view, name, toolTip);
    // A design's copy keeps the name it is stored under, which recovery
    // gives back to the store's save dialog; the tab's number is recovery's
    // to give again.
    const bool stored = !view->storeName().isEmpty() && view->storeName() == name;
    view->renameAutosave(uniqueAutosaveName(stored ? name : view->displayName(), view, stored));
}

// Autosave files may not repeat either, and the folder may hold files that
// no view has: a name that another view uses, or whose file lies in the
// folder without a view (left from an earlier run), gets a number.
QString CMainFrame::uniqueAutosaveName(const QString& wanted, const CSVGView* owner, bool stored) const
{
    const QDir folder(CSVGView::autosaveFolder());
    const auto taken = [&](const QString& name) {
        for (int i = 0; i < m_tabs->count(); ++i) {
            const auto* view = qobject_cast<CSVGView*>(m_tabs->widget(i));
            if (view && view != owner && view->getAutosaveName() == name)
                return true;
        }
        return folder.exists(name) && !(owner && owner->getAutosaveName() == name);
    };
    QString name = CSVGView::autosaveNameFor(wanted, 1, stored);
    for (int n = 2; taken(name); ++n)
        name = CSVGView::autosaveNameFor(wanted, n, stored);
    return name;
}

CSVGView* CMainFrame::insertView(int index, const QString& text, const QString& toolTip)
{
    auto* view = new CSVGView(this);
    const int at = m_tabs->insertNamedTab(index, view, text);
    setTabName(view, text, toolTip);
    m_tabs->setCurrentIndex(at);
    m_currentView = view;
    connect(view, SIGNAL(finishedTextEditor()), this, SLOT(drawtextfinished()));
    return view;
}

void CMainFrame::fileNew()
{
    const int number = nextNewFileNumber();
    const QString title = newFileTitle(number);
    CSVGView* view = insertView(newFileTabIndex(), title, title);
    m_tabs->tabBar()->setTabData(m_tabs->indexOf(view), QVariantList { number, title });
    view->fitPage();
    m_currentView = view;
    view->setAutosaveName(uniqueAutosaveName(view->displayName(), view));
    updateActionStates();
}

void CMainFrame::fileOpen()
{
    const QStringList paths = Prompt::getOpenFileNames(
        this, tr("Open File..."), QStringLiteral("."), QStringLiteral("svg(*.svg);;All(*.*)"));
    for (const QString& path : paths)
        openFileInTab(path);
}

bool CMainFrame::openFileInTab(const QString& path)
{
    if (!isSvgPath(path))
        return false;
    for (int i = 0; i < m_tabs->count(); ++i) {
        const auto* view = qobject_cast<CSVGView*>(m_tabs->widget(i));
        if (view && view->getFilePath() == path) {
            m_tabs->setCurrentIndex(i);
            return true;
        }
    }
    const QString fileName = QFileInfo(path).fileName();
    CSVGView* view = insertView(newFileTabIndex(), fileName, path);
    view->setFilePath(path);
    const bool opened = view->openFile(path.toStdWString());
    const SvgInputCheck::Result check = view->getDocument()->readCheck();
    if (!opened) {
        // No tab stands for a file that is not there or holds no drawing.
        closeTab(m_tabs->indexOf(view), false);
        Prompt::warning(this, tr("Warning"),
            SvgInputCheck::refuses(check) ? SvgInputCheck::message(fileName, check)
                                          : tr("The file could not be opened: %1").arg(path));
        return false;
    }
    view->setAutosaveName(uniqueAutosaveName(view->displayName(), view));
    view->setFocus();
    if (SvgInputCheck::opensInPart(check)) {
        Prompt::warning(this, tr("Warning"), SvgInputCheck::message(fileName, check));
    }
    return true;
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
    else
        event->ignore();
}

void CMainFrame::dropEvent(QDropEvent* event)
{
    for (const QUrl& url : event->mimeData()->urls()) {
        const QString path = url.toLocalFile();
        if (isSvgPath(path))
            openFileInTab(path);
    }
}

bool CMainFrame::showOpenDesign(const QString& source)
{
    for (int i = 0; !source.isEmpty() && i < m_tabs->count(); ++i) {
        const auto* view = qobject_cast<CSVGView*>(m_tabs->widget(i));
        if (view && view->storeSource() == source) {
            m_tabs->setCurrentIndex(i);
            return true;
        }
    }
    return false;
}

// A design that is open already is shown, not opened a second time. A
// design is no file: it gets no path, so that no file command acts on a
// path made of its name.
bool CMainFrame::openDesignData(const QString& base64, const QString& name, const QString& address)
{
    const QString source = designAddress(address);
    if (showOpenDesign(source)) {
        loadPreview();
        updateActionStates();
        return true;
    }
    const QByteArray bytes = QByteArray::fromBase64(base64.toLocal8Bit());
    // A design that holds no drawing gets no tab, like a file.
    CSVGDocument probe;
    if (!probe.loadSvgData(bytes)) {
        const QString reason = SvgInputCheck::reason(probe.readCheck());
        Prompt::warning(this, tr("Warring"),
            tr("The design could not be read.") + (reason.isEmpty() ? QString() : QLatin1Char('\n') + reason));
        return false;
    }
    CSVGView* view = m_currentView;
    if (!view || !view->contentBoundingRect().isEmpty() || !view->getFilePath().isEmpty())
        view = insertView(newFileTabIndex(), name, name);
    view->loadData(bytes);
    // Stored, the design is saved; what an empty drawing left goes.
    view->setSaved();
    view->setStoreOrigin(name, source);
    view->setFocus();
    nameDrawing(view, name, name);
    loadPreview();
    updateActionStates();
    if (SvgInputCheck::opensInPart(probe.readCheck())) {
        Prompt::warning(this, tr("Warning"), SvgInputCheck::message(name, probe.readCheck()));
    }
    return true;
}

void CMainFrame::showPreview()
{
    m_previewDock->setVisible(m_previewDock->isHidden());
}

void CMainFrame::tabcurrentChanged(int index)
{
    if (m_closing)
        return;
    m_currentView = nullptr;
    QWidget* tab = m_tabs->widget(index);
    if (qobject_cast<CNewFileView*>(tab)) {
        fileNew();
    } else if (auto* view = qobject_cast<CSVGView*>(tab)) {
        m_currentView = view;
        const SVGApplication* application = SVGApplication::instance();
        SVGClipboard* clipboard = application ? const_cast<SVGApplication*>(application)->clipboard() : nullptr;
        if (clipboard && !clipboard->isEmpty()) {
            view->getScene()->addItem(clipboard->preview);
            startPasteTool(view);
        } else if (view->getDocument()->getEditMode() == EditMode::Copy) {
            // The copy was placed or left in another tab.
            view->setDrawMode(EditMode::Select);
        }
    }
    updateActionStates();
}

void CMainFrame::followCurrentTab()
{
    m_closing = false;
    m_currentView = qobject_cast<CSVGView*>(m_tabs->currentWidget());
}

// Removes the tab once its view may go (asked, or agreed to before).
// Whatever happens, the current view is the current tab's afterwards and the
// closing flag is clear.
void CMainFrame::closeTab(int index, bool ask)
{
    m_closing = false;
    QWidget* tab = m_tabs->widget(index);
    if (!tab || qobject_cast<CNewFileView*>(tab))
        return;
    const int count = m_tabs->count();
    if (!ask || confirmCloseView(tab)) {
        m_closing = count == index + 2;
        m_currentView = nullptr;
        m_tabs->removeTab(index);
        delete tab;
        if (m_closing && index > 0)
            m_tabs->setCurrentIndex(index - 1);
        m_closing = false;
        if (count == 2)
            fileNew();
    }
    followCurrentTab();
    updateActionStates();
}

void CMainFrame::tabClose(int index)
{
    closeTab(index, true);
}

// As the window closes: the questions come once for all of these tabs, and
// Cancel keeps every one of them.
void CMainFrame::closeTabsDownTo(int first)
{
    if (!confirmClosing(views(first)))
        return;
    for (int i = m_tabs->count() - 1; i >= first && i >= 0; --i)
        closeTab(i, false);
}

void CMainFrame::OnCloseTab(QAction* action)
{
    closeTab(action->data().toInt(), true);
}

void CMainFrame::OnCloseAllTab(QAction*)
{
    closeTabsDownTo(0);
}

void CMainFrame::OnCloseRightTab(QAction* action)
{
    closeTabsDownTo(action->data().toInt() + 1);
}

void CMainFrame::OncustomContextMenuRequested(const QPoint& position)
{
    QTabBar* bar = m_tabs->tabBar();
    const int index = bar->tabAt(position);
    const auto* view = qobject_cast<CSVGView*>(m_tabs->widget(index));
    if (index < 0 || !view)
        return;
    auto* menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    const auto add = [this, menu](const QString& text, const QVariant& data, const char* slot) {
        auto* group = new QActionGroup(menu);
        QAction* action = group->addAction(text);
        action->setData(data);
        menu->addAction(action);
        connect(group, SIGNAL(triggered(QAction*)), this, slot);
    };
    add(tr("Close Document"), index, SLOT(OnCloseTab(QAction*)));
    add(tr("Close All Document"), index, SLOT(OnCloseAllTab(QAction*)));
    add(tr("Close Right Document"), index, SLOT(OnCloseRightTab(QAction*)));
    if (!view->getFilePath().isEmpty()) {
        menu->addSeparator();
        add(tr("Open directory"), view->getFilePath(), SLOT(OpenFolder(QAction*)));
        add(tr("Open with default program"), view->getFilePath(), SLOT(OpenByDefault(QAction*)));
        add(tr("Reload file"), QVariant::fromValue(static_cast<QObject*>(m_tabs->widget(index))),
            SLOT(ReLoadFile(QAction*)));
    }
    menu->popup(bar->mapToGlobal(position));
}

// The question that both close guards ask.
bool CMainFrame::askContinueNesting()
{
    return Prompt::confirm(this, tr("Warning"), tr("The online nesting is still running, do you want to continue?"),
        tr("Continue"), tr("Cancel"));
}

// The question that both close guards ask about unsaved work, once for
// however many drawings hold it.
bool CMainFrame::askCloseUnsaved(int drawings)
{
    const QString text = drawings == 1 ? tr("The drawing has unsaved changes. Close it anyway?")
                                       : tr("%1 drawings have unsaved changes. Close them anyway?").arg(drawings);
    return Prompt::confirm(this, tr("Warning"), text, tr("Continue"), tr("Cancel"));
}

bool CMainFrame::confirmCloseView(QWidget* tab)
{
    auto* view = qobject_cast<CSVGView*>(tab);
    return !view || confirmGivingWay(view, false);
}

bool CMainFrame::confirmReloadView(CSVGView* view)
{
    return confirmGivingWay(view, true);
}

// The drawing gives way to nothing (closed) or to its file read again.
bool CMainFrame::confirmGivingWay(CSVGView* view, bool reload)
{
    if (!view->nestingJobId().isEmpty() && !askContinueNesting())
        return false;
    if (!view->hasUnsavedChanges())
        return true;
    if (!reload)
        return askCloseUnsaved(1);
    return Prompt::confirm(this, tr("Warning"), tr("The drawing has unsaved changes. Reload the file anyway?"),
        tr("Continue"), tr("Cancel"));
}

bool CMainFrame::confirmCloseWindow()
{
    return confirmClosing(views(0));
}

bool CMainFrame::confirmCloseWithNesting()
{
    return confirmNesting(views(0));
}

QList<CSVGView*> CMainFrame::views(int first) const
{
    QList<CSVGView*> found;
    for (int i = std::max(first, 0); i < m_tabs->count(); ++i) {
        if (auto* view = qobject_cast<CSVGView*>(m_tabs->widget(i)))
            found << view;
    }
    return found;
}

bool CMainFrame::confirmNesting(const QList<CSVGView*>& closing)
{
    for (const CSVGView* view : closing) {
        if (!view->nestingJobId().isEmpty() && !askContinueNesting())
            return false;
    }
    return true;
}

bool CMainFrame::confirmClosing(const QList<CSVGView*>& closing)
{
    if (!confirmNesting(closing))
        return false;
    const auto unsaved
        = std::count_if(closing.begin(), closing.end(), [](CSVGView* view) { return view->hasUnsavedChanges(); });
    return unsaved == 0 || askCloseUnsaved(int(unsaved));
}

void CMainFrame::keepUnsavedDrawings()
{
    for (int i = 0; i < m_tabs->count(); ++i) {
        auto* view = qobject_cast<CSVGView*>(m_tabs->widget(i));
        if (view && view->hasUnsavedChanges())
            view->keepAutosaveForRecovery();
    }
}

void CMainFrame::closeEvent(QCloseEvent* event)
{
    if (!confirmCloseWindow()) {
        event->ignore();
        return;
    }
    event->accept();
    QSettings settings;
    settings.setValue(QStringLiteral("main_frame_state"), saveState(0));
    settings.setValue(QStringLiteral("main_frame_geometry"), saveGeometry());
}

// Offers the documents that an earlier run left in the autosave folder.
// Each restored view takes over its file, which stays until the view writes
// it anew or closes. Declined copies go, or the question would come back at
// every start while copies pile up; a file that cannot be read is set aside,
// and the user hears of it, as of a copy that was read only in part.
void CMainFrame::recoverAutosaved()
{
    const QFileInfoList files = CSVGView::recoverableAutosaveFiles();
    if (files.isEmpty())
        return;
    if (!Prompt::confirm(this, tr("Warning"), tr("Do you want to recover?"), tr("Continue"), tr("Cancel"))) {
        for (const QFileInfo& info : files)
            CSVGView::removeAutosaveFile(info.filePath());
        return;
    }
    BlowfishFileCipher cipher(g_config.getCipherKey());
    for (const QFileInfo& info : files) {
        QFile file(info.filePath());
        if (!file.open(QIODevice::ReadOnly)) {
            CSVGView::setAutosaveFileAside(info);
            continue;
        }
        const QByteArray text = cipher.decrypt(file.readAll());
        file.close();
        bool stored = false;
        const QString name = CSVGView::nameOfAutosave(info.fileName(), &stored);
        CSVGView* view = insertView(m_tabs->count() - 1, name, name);
        const bool loaded = view->loadData(text);
        const SvgInputCheck::Result check = view->getDocument()->readCheck();
        if (!loaded) {
            m_tabs->removeTab(m_tabs->indexOf(view));
            delete view;
            m_currentView = qobject_cast<CSVGView*>(m_tabs->currentWidget());
            CSVGView::setAutosaveFileAside(info);
            Prompt::warning(this, tr("Warning"), SvgInputCheck::message(info.fileName(), check));
            continue;
        }
        if (SvgInputCheck::opensInPart(check)) {
            Prompt::warning(this, tr("Warning"), SvgInputCheck::message(info.fileName(), check));
        }
        view->setAutosaveName(info.fileName());
        // Its address lets the design, opened again, show this tab.
        const QString address = CSVGView::autosaveAddress(info);
        if (stored || !address.isEmpty())
            view->setStoreOrigin(name, address);
        // Its copy is the only one: the drawing is unsaved work.
        view->getDocument()->markUnsaved();
        updateTabTitle(view);
        view->setFocus();
    }
}

void CMainFrame::updateTabTitle(CSVGView* view)
{
    const int index = m_tabs ? m_tabs->indexOf(view) : -1;
    if (index < 0 || view->displayName().isEmpty())
        return;
    const QString text = view->displayName() + (view->hasUnsavedChanges() ? QStringLiteral("*") : QString());
    if (m_tabs->nameText(index) != text)
        m_tabs->setNameText(index, text);
}
