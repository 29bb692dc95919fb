// The style slots: each sends one attribute list to the selection.

#include "CMainFrame.h"

#include "CGlobalConfig.h"
#include "CSVGView.h"

namespace {
// "stroke-dasharray" of the dash button's strips 1 to 14; any other index is
// a solid line.
const char* const kDashPatterns[] = { "18 8 10 10", "4 4", "12 5 5 5 8 8", "12 5 5 5 5 5 8 8", "18 28", "18 10 10 10",
    "18 6 14 14", "12 12 8 8", "14 8 14 8", "10 12", "10 8", "4 2", "2 3", "1 2" };
const int kDashCount = sizeof(kDashPatterns) / sizeof(kDashPatterns[0]);

QString colourText(const QColor& color)
{
    return QString::fromStdWString(g_config.qColorToText(color));
}
} // namespace

// Every style change is kept as the style of what is drawn next.
void CMainFrame::setSelectionAttributes(const QStringList& names, const QStringList& values)
{
    if (m_currentView)
        m_currentView->setSelectionAttributes(names, values, true);
}

void CMainFrame::OnFillColor(QColor color)
{
    setPaintAttributes(QStringLiteral("fill"), color);
}

void CMainFrame::OnStrokeColor(QColor color)
{
    setPaintAttributes(QStringLiteral("stroke"), color);
}

// A fully transparent colour only hides the paint and keeps its colour.
void CMainFrame::setPaintAttributes(const QString& property, const QColor& color)
{
    const QString opacity = property + QStringLiteral("-opacity");
    if (color.alpha() == 0)
        setSelectionAttributes({ opacity }, { QStringLiteral("0") });
    else
        setSelectionAttributes({ opacity, property }, { QStringLiteral("1"), colourText(color) });
}

void CMainFrame::OnStrokeWidth(int width)
{
    setSelectionAttributes({ QStringLiteral("stroke-width") }, { QString::number(width) });
}

void CMainFrame::OnStrokeDashType(int index)
{
    const QString pattern
        = index >= 1 && index <= kDashCount ? QString::fromLatin1(kDashPatterns[index - 1]) : QString();
    setSelectionAttributes({ QStringLiteral("stroke-dasharray") }, { pattern });
}

void CMainFrame::OntextBold()
{
    setSelectionAttributes({ QStringLiteral("font-weight") }, { QStringLiteral("Bold") });
}

void CMainFrame::OntextItalic()
{
    setSelectionAttributes({ QStringLiteral("font-style") }, { QStringLiteral("Italic") });
}

void CMainFrame::OntextUnderLine()
{
    setSelectionAttributes({ QStringLiteral("text-decoration") }, { QStringLiteral("Underline") });
}

void CMainFrame::OntextColor(QColor color)
{
    setSelectionAttributes({ QStringLiteral("fill") }, { colourText(color) });
}
