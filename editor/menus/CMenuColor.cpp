#include "CMenuColor.h"

#include <QColorDialog>
#include <QEvent>
#include <QGridLayout>
#include <QPixmap>
#include <QToolButton>
#include <QWidgetAction>

#include "Prompt.h"

namespace {
constexpr int kSwatchSize = 20;
}

CMenuColor::CMenuColor(int kind, QWidget* parent)
    : QMenu(parent)
{
    addTransparentEntry();
    addSeparator();
    addSwatches();
    addSeparator();
    m_more = addAction(QString());
    m_more->setData(QColor(Qt::transparent));
    connect(m_more, &QAction::triggered, this, &CMenuColor::OnMoreColor);
    if (kind == 1) {
        addSeparator();
        m_gradient = addAction(QString());
        connect(m_gradient, &QAction::triggered, this, &CMenuColor::OnRadient);
        addSeparator();
        m_pattern = addAction(QString());
        connect(m_pattern, &QAction::triggered, this, &CMenuColor::OnPattern);
    }
    retranslateUi();
}

void CMenuColor::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslateUi();
    QMenu::changeEvent(event);
}

void CMenuColor::retranslateUi()
{
    m_transparent->setIconText(tr("transparent"));
    m_transparent->setText(tr("transparent"));
    m_more->setText(tr("more color"));
    if (m_gradient)
        m_gradient->setText(tr("gradual"));
    if (m_pattern)
        m_pattern->setText(tr("pattern"));
}

// Red alternates between two levels by column, green climbs every two
// columns and blue cycles down the rows; one entry of the table has always
// carried green 250.
QColor CMenuColor::swatchColor(int row, int column)
{
    static const int greens[] = { 0, 85, 170, 255 };
    static const int blues[] = { 0, 127, 255 };
    if (row == 0 && column == 7)
        return QColor(170, 250, 0);
    const int red = (row < 3 ? 0 : 85) + (column % 2 ? 170 : 0);
    return QColor(red, greens[(column / 2) % 4], blues[row % 3]);
}

void CMenuColor::addTransparentEntry()
{
    m_transparent = new QWidgetAction(this);
    m_transparent->setData(QColor(Qt::transparent));
    connect(m_transparent, &QAction::triggered, this, &CMenuColor::OnColorSelected);
    addAction(m_transparent);
}

void CMenuColor::addSwatches()
{
    m_swatchWidget = new QWidget(this);
    auto* grid = new QGridLayout(m_swatchWidget);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(2);
    for (int row = 0; row < kSwatchRows; ++row) {
        for (int column = 0; column < kSwatchColumns; ++column) {
            const QColor color = swatchColor(row, column);
            QPixmap swatch(kSwatchSize, kSwatchSize);
            swatch.fill(color);
            auto* action = new QAction(QIcon(swatch), QString(), m_swatchWidget);
            action->setData(color);
            connect(action, &QAction::triggered, this, &CMenuColor::OnColorSelected);
            auto* button = new QToolButton(m_swatchWidget);
            button->setFixedSize(kSwatchSize, kSwatchSize);
            button->setDefaultAction(action);
            grid->addWidget(button, row, column);
        }
    }
    m_swatchAction = new QWidgetAction(this);
    m_swatchAction->setDefaultWidget(m_swatchWidget);
    addAction(m_swatchAction);
}

void CMenuColor::OnColorSelected()
{
    const auto* action = qobject_cast<QAction*>(sender());
    const QVariant data = action ? action->data() : QVariant();
    emit colorSelected(data.canConvert<QColor>() ? data.value<QColor>() : QColor());
    hide();
}

void CMenuColor::OnTransprent(QAction*)
{
    hide();
}

void CMenuColor::OnMoreColor()
{
    hide();
    QColorDialog dialog;
    if (Prompt::exec(&dialog) == QDialog::Accepted)
        emit colorSelected(dialog.currentColor());
}

void CMenuColor::OnRadient()
{
    hide();
    std::wstring markup;
    if (gradientEditor() && gradientEditor()(markup))
        emit colorSelectedRadient(markup);
}

void CMenuColor::OnPattern()
{
    hide();
    std::wstring markup;
    if (patternEditor() && patternEditor()(markup))
        emit colorSelectedPattern(markup);
}

void CMenuColor::setFillEditors(FillEditor gradient, FillEditor pattern)
{
    gradientEditor() = std::move(gradient);
    patternEditor() = std::move(pattern);
}

CMenuColor::FillEditor& CMenuColor::gradientEditor()
{
    static FillEditor editor;
    return editor;
}

CMenuColor::FillEditor& CMenuColor::patternEditor()
{
    static FillEditor editor;
    return editor;
}
