#include "CMainFrame.h"

#include "CGlobalConfig.h"
#include "CNewFileView.h"
#include "CSVGDocument.h"
#include "CSVGView.h"
#include "CTabWidgetEx.h"
#include "CToolButtonColorMenu.h"
#include "CToolButtonComboxMenu.h"
#include "InterfaceLocale.h"
#include "Prompt.h"
#include "SVGApplication.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDebug>
#include <QDockWidget>
#include <QFontComboBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QTabBar>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
const char* const kBlockStyle = "QToolBar { spacing: 0px; }";
const int kDefaultLeftWidth = 125;

// The setting, kept to a width that the window can still lay out.
int leftWidthSetting()
{
    bool ok = false;
    const int width = g_config.getSetting(QStringLiteral("LeftToolBarWidth")).toInt(&ok);
    return ok && width >= 40 && width <= 1000 ? width : kDefaultLeftWidth;
}

// The label broken at the space that makes its longer line shortest.
QString twoLines(const QString& text, const QFontMetrics& metrics)
{
    QString best = text;
    int bestWidth = metrics.horizontalAdvance(text);
    for (int at = text.indexOf(QLatin1Char(' ')); at > 0; at = text.indexOf(QLatin1Char(' '), at + 1)) {
        const int width = qMax(metrics.horizontalAdvance(text.left(at)), metrics.horizontalAdvance(text.mid(at + 1)));
        if (width < bestWidth) {
            bestWidth = width;
            best = text.left(at) + QLatin1Char('\n') + text.mid(at + 1);
        }
    }
    return best;
}

// Every button of the bar takes the width that its label needs, at least
// least; a label wider than wrapAt wraps to two lines first. Translations
// differ too much in length for one width to suit them all.
void setButtonWidths(QToolBar* bar, int wrapAt, int least = 0)
{
    for (QAction* action : bar->actions()) {
        auto* button = qobject_cast<QToolButton*>(bar->widgetForAction(action));
        if (!button)
            continue;
        // Back to the action's text on one line.
        action->setIconText(QString());
        if (button->sizeHint().width() > wrapAt)
            action->setIconText(twoLines(action->iconText(), button->fontMetrics()));
        button->setFixedWidth(qMax(least, button->sizeHint().width()));
    }
}
} // namespace

CMainFrame::CMainFrame(QWidget* parent)
    : QMainWindow(parent)
{
    setWindowTitle(QStringLiteral("MORLData"));
    createFileToolBar();
    createEditMenu();
    createDrawToolBar();
    createActions(GroupStage);
    createFontToolBar();
    createAlignToolBar();
    createColorToolBar();
    createRemovedToolBar(QStringLiteral("Canvas"), CanvasStage);
    createRemovedToolBar(QStringLiteral("Lock"), LockStage);
    createStatusBar();
    for (QAction* action : qAsConst(m_hiddenActions))
        action->setVisible(false);
    createTabs();
    m_canvasRect = CSVGRect(0, 0, 15000, 1520);
    recoverAutosaved();
    addNewFileTab(m_tabs->count() == 0);
    setCentralWidget(m_tabs);
    setAcceptDrops(true);
    menuBar()->hide();
    createPreviewDock();
    adjustToolBarWidths();
    m_previewDock->hide();
    // The documents know no widgets: their warnings come here.
    CSVGDocument::setWarningHook(
        [](const QString& title, const QString& text) { Prompt::warning(QApplication::activeWindow(), title, text); });
}

int CMainFrame::leftToolBarWidth()
{
    static const int width = leftWidthSetting();
    return width;
}

QToolBar* CMainFrame::newBlock(const QString& title)
{
    auto* block = new QToolBar(title, this);
    block->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    block->setMovable(false);
    block->setStyleSheet(QLatin1String(kBlockStyle));
    return block;
}

QWidget* CMainFrame::blockWidget(QToolBar* upper, QToolBar* lower)
{
    auto* widget = new QWidget(this);
    auto* layout = new QVBoxLayout(widget);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(upper);
    layout->addWidget(lower);
    return widget;
}

QWidget* CMainFrame::newSizeWidget()
{
    auto* widget = new QWidget(this);
    auto* grid = new QGridLayout(widget);
    const int width = 15 * QFontMetrics(QApplication::font()).horizontalAdvance(QLatin1Char('8'));
    m_lengthLabel = new QLabel(tr("Length:"), widget);
    m_heightLabel = new QLabel(tr("Height:"), widget);
    m_lengthField = new QLineEdit(widget);
    m_heightField = new QLineEdit(widget);
    m_lengthField->setObjectName(QStringLiteral("length"));
    m_heightField->setObjectName(QStringLiteral("height"));
    int row = 0;
    for (auto [label, field] :
        { std::pair { m_lengthLabel, m_lengthField }, std::pair { m_heightLabel, m_heightField } }) {
        field->setReadOnly(true);
        field->setFixedWidth(width);
        grid->addWidget(label, row, 0);
        grid->addWidget(field, row, 1);
        grid->addItem(new QSpacerItem(0, 0, QSizePolicy::Expanding, QSizePolicy::Minimum), row, 2);
        ++row;
    }
    setSizeLabels(0.0, 0.0);
    return widget;
}

void CMainFrame::createFileToolBar()
{
    m_fileToolBar = addToolBar(QStringLiteral("File"));
    m_fileToolBar->setMovable(false);
    m_upperLeftBlock = newBlock(QStringLiteral("UpperLeft"));
    m_lowerLeftBlock = newBlock(QStringLiteral("LowerLeft"));
    m_leftBlocks = blockWidget(m_upperLeftBlock, m_lowerLeftBlock);
    m_leftBlocks->setFixedWidth(leftToolBarWidth());
    m_fileToolBar->addWidget(m_leftBlocks);
    m_fileToolBar->addSeparator();
    m_importMenu = menuBar()->addMenu(tr("Import"));
    m_fileToolBar->addWidget(newSizeWidget());
    m_upperRightBlock = newBlock(QStringLiteral("UpperRight"));
    m_lowerRightBlock = newBlock(QStringLiteral("LowerRight"));
    m_fileToolBar->addWidget(blockWidget(m_upperRightBlock, m_lowerRightBlock));
    m_fileToolBar->addSeparator();
    m_editToolBar = newBlock(tr("Edit"));
    addToolBar(Qt::LeftToolBarArea, m_editToolBar);
    m_editToolBar->setMinimumWidth(leftToolBarWidth() + 6);
    createActions(FileStage);
    m_actions[Quit]->setShortcut(QKeySequence(QStringLiteral("Ctrl+Q")));
}

void CMainFrame::createEditMenu()
{
    m_editMenu = menuBar()->addMenu(tr("Edit"));
    m_editMenu->addSeparator();
    createActions(EditStage);
    m_editMenu->insertSeparator(m_actions[Paste]);
    m_editMenu->insertSeparator(m_actions[Paste]);
}

void CMainFrame::createDrawToolBar()
{
    m_drawToolBar = addToolBar(QStringLiteral("Draw"));
    m_drawToolBar->setMovable(false);
    m_drawToolBar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    m_stageToolBar = m_drawToolBar;
    createActions(DrawStage);
}

void CMainFrame::createFontToolBar()
{
    m_fontToolBar = addToolBar(QStringLiteral("Font"));
    m_fontFamilyBox = new QFontComboBox(m_fontToolBar);
    m_fontFamilyBox->setFixedWidth(150);
    connect(m_fontFamilyBox, &QComboBox::textActivated, this,
        [this](const QString& family) { setSelectionAttributes({ QStringLiteral("font-family") }, { family }); });
    m_fontToolBar->addWidget(m_fontFamilyBox);
    m_fontSizeBox = new QComboBox(m_fontToolBar);
    m_fontSizeBox->setObjectName(QStringLiteral("comboSize"));
    m_fontSizeBox->setEditable(true);
    m_fontSizeBox->setFixedWidth(80);
    for (int size : QFontDatabase::standardSizes())
        m_fontSizeBox->addItem(QString::number(size));
    m_fontSizeBox->setCurrentText(QStringLiteral("24"));
    connect(m_fontSizeBox, &QComboBox::textActivated, this, [this](const QString& size) {
        setSelectionAttributes({ QStringLiteral("font-size") }, { size + QStringLiteral("pt") });
    });
    m_fontToolBar->addWidget(m_fontSizeBox);
    m_stageToolBar = m_fontToolBar;
    createActions(FontStage);
    m_textColorButton = new CToolButtonColorMenu(0, Qt::blue, m_fontToolBar);
    m_textColorButton->setCheckable(false);
    connect(m_textColorButton, &CToolButtonColorMenu::ColorSelected, this, &CMainFrame::OntextColor);
    m_fontToolBar->addWidget(m_textColorButton);
    m_fontToolBar->hide();
}

void CMainFrame::createAlignToolBar()
{
    createRemovedToolBar(QStringLiteral("Align"), AlignStage);
}

void CMainFrame::createRemovedToolBar(const QString& title, Stage stage)
{
    m_stageToolBar = addToolBar(title);
    createActions(stage);
    removeToolBar(m_stageToolBar);
}

void CMainFrame::createColorToolBar()
{
    QToolBar* bar = addToolBar(QStringLiteral("Color"));
    m_strokeWidthButton = new CToolButtonComboxMenu(0, 1, bar);
    m_dashButton = new CToolButtonComboxMenu(1, 0, bar);
    for (CToolButtonComboxMenu* button : { m_strokeWidthButton, m_dashButton }) {
        button->setFixedSize(100, 32);
        button->setIconSize(QSize(100, 32));
        button->setAutoRaise(true);
        button->setToolButtonStyle(Qt::ToolButtonIconOnly);
        bar->addWidget(button);
    }
    connect(m_strokeWidthButton, &CToolButtonComboxMenu::OnSelected, this, &CMainFrame::OnStrokeWidth);
    connect(m_dashButton, &CToolButtonComboxMenu::OnSelected, this, &CMainFrame::OnStrokeDashType);
    bar->setIconSize(QSize(160, 32));
    m_strokeColorButton = new CToolButtonColorMenu(1, Qt::black, bar);
    m_fillColorButton = new CToolButtonColorMenu(2, Qt::blue, bar);
    for (CToolButtonColorMenu* button : { m_strokeColorButton, m_fillColorButton }) {
        button->setFixedWidth(40);
        button->setCheckable(false);
        bar->addWidget(button);
    }
    connect(m_strokeColorButton, &CToolButtonColorMenu::ColorSelected, this, &CMainFrame::OnStrokeColor);
    connect(m_fillColorButton, &CToolButtonColorMenu::ColorSelected, this, &CMainFrame::OnFillColor);
    connect(m_fillColorButton, &CToolButtonColorMenu::colorSelectedRadient, this, &CMainFrame::OnFillUrl);
    connect(m_fillColorButton, &CToolButtonColorMenu::colorSelectedPattern, this, &CMainFrame::OnFillUrl);
    removeToolBar(bar);
}

void CMainFrame::createStatusBar()
{
    statusBar()->setSizeGripEnabled(false);
    m_statusLabel = new QLabel(QStringLiteral("(0,0)"), this);
    m_statusLabel->setAlignment(Qt::AlignLeft);
    m_statusLabel->setMinimumSize(200, 15);
    statusBar()->addWidget(m_statusLabel, 0);
}

void CMainFrame::createTabs()
{
    m_tabs = new CTabWidgetEx(this);
    m_tabs->setObjectName(QStringLiteral("documents"));
    m_tabs->setTabsClosable(true);
    connect(m_tabs, &QTabWidget::currentChanged, this, &CMainFrame::tabcurrentChanged);
    m_tabs->tabBar()->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_tabs->tabBar(), &QWidget::customContextMenuRequested, this, &CMainFrame::OncustomContextMenuRequested);
}

// The new-file tab goes last, without a close button. Its first selection,
// when nothing was restored, makes the first document.
void CMainFrame::addNewFileTab(bool firstDocument)
{
    auto* newFile = new CNewFileView(m_tabs);
    {
        const QSignalBlocker blocker(m_tabs);
        m_tabs->addTab(newFile, QString(QChar(0x254B)));
    }
    m_tabs->tabBar()->setTabButton(m_tabs->indexOf(newFile), QTabBar::RightSide, nullptr);
    if (firstDocument)
        tabcurrentChanged(m_tabs->currentIndex());
    connect(m_tabs, &QTabWidget::tabCloseRequested, this, &CMainFrame::tabClose);
}

void CMainFrame::createPreviewDock()
{
    m_previewDock = new QDockWidget(this);
    m_previewDock->setAllowedAreas(Qt::RightDockWidgetArea);
    addDockWidget(Qt::RightDockWidgetArea, m_previewDock);
    m_previewDock->setFeatures(
        m_previewDock->features() & ~(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetFloatable));
    m_previewAddress = QStringLiteral(":/images/pre_model.png");
}

void CMainFrame::adjustToolBarWidths()
{
    const QFontMetrics metrics(QApplication::font());
    const int glyph = metrics.horizontalAdvance(QChar(0x5FAE));
    const SVGApplication* application = SVGApplication::instance();
    const QString language = application ? application->getLanguage() : QString();
    const bool chinese = language.compare(QLatin1String("zh_CN"), Qt::CaseInsensitive) == 0;
    const int width = static_cast<int>(glyph * (chinese ? 5.5 : 8.0));
    qDebug() << "current font: " << QApplication::font().family() << "max tool width: " << width << "px";
    setButtonWidths(m_upperRightBlock, width);
    setButtonWidths(m_lowerRightBlock, width);
    const int left = static_cast<int>(leftWidthSetting() * 0.4);
    setButtonWidths(m_upperLeftBlock, left);
    setButtonWidths(m_lowerLeftBlock, left);
    // The left column keeps one width for all its buttons.
    setButtonWidths(m_editToolBar, 2 * left, 2 * left);
    // The left blocks keep the set width unless their buttons need more.
    const int needed = qMax(m_upperLeftBlock->sizeHint().width(), m_lowerLeftBlock->sizeHint().width());
    m_leftBlocks->setFixedWidth(qMax(leftToolBarWidth(), needed));
}

void CMainFrame::setPageButtons(QPushButton* dataCenter, QPushButton* designCenter)
{
    m_dataCenterButton = dataCenter;
    m_designCenterButton = designCenter;
}

bool CMainFrame::event(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange) {
        retranslateUi();
        adjustToolBarWidths();
    }
    return QMainWindow::event(event);
}

void CMainFrame::changeLanguage(const QString& code)
{
    if (SVGApplication* application = SVGApplication::instance())
        application->setLanguage(code);
    retranslateUi();
    adjustToolBarWidths();
}

QString CMainFrame::currentTabText() const
{
    return m_tabs ? m_tabs->nameText(m_tabs->currentIndex()) : QString();
}

void CMainFrame::setCursorPosition(double x, double y)
{
    m_statusLabel->setText(InterfaceLocale::point(x, y));
}

// To the thousandth of a millimetre that sizes are typed in, also for a
// piece of 15 m, without the zeros behind the last digit that counts.
void CMainFrame::setSizeLabels(double length, double height)
{
    if (!m_lengthField || !m_heightField)
        return;
    m_shownSize = QSizeF(length, height);
    m_lengthField->setText(InterfaceLocale::millimetres(length, 3));
    m_heightField->setText(InterfaceLocale::millimetres(height, 3));
}

void CMainFrame::drawtextfinished()
{
    m_fontToolBar->hide();
}
