#pragma once

#include "CSVGRect.h"

#include <QMainWindow>
#include <QPointer>
#include <QPushButton>
#include <QSizeF>
#include <QString>
#include <QVector>

#include <string>

class CSVGView;
class CTabWidgetEx;
class CToolButtonColorMenu;
class CToolButtonComboxMenu;
class QAction;
class QComboBox;
class QDockWidget;
class QFontComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QToolBar;

// The editor's main window: one canvas tab per open document and a last tab
// that opens a new one, the toolbars with every editing action, the size
// fields of the selection, a status label and a preview dock. Its commands
// forward to the current canvas. The pages publish it as "mw".
class CMainFrame : public QMainWindow
{
    Q_OBJECT
    // The current tab's text, which the program's page driver watches.
    Q_PROPERTY(QString currentTabText READ currentTabText)
public:
    // Every action of the window, in the order they are made.
    enum Action {
        Import,
        Export,
        Share,
        Save,
        Color,
        Note,
        Cutting,
        Printing,
        Refresh,
        FillComment,
        Copy,
        DeleteAction,
        Mirror,
        Undo,
        Redo,
        Measure,
        CancelMeasure,
        Scale,
        Text,
        AlignLeftTop,
        ImagingSystem,
        VectorEngine,
        SeparationLine,
        PrintImage,
        Bottom,
        SupperNesting,
        DelFeature,
        Combine,
        Ungroup,
        Split,
        Union,
        OrientationAction,
        Rectangle,
        Circle,
        Ellipse,
        Image,
        Canvas,
        ImportFile,
        AutoGroup,
        Projection,
        Expand,
        InsetExpansion,
        MovePointAction,
        Pen,
        Cropping,
        DelNode,
        AddNode,
        Quit,
        ClearAction,
        Paste,
        Line,
        Polyline,
        Polygon,
        ShowRule,
        ShowGrid,
        Lock,
        Unlock,
        Bold,
        Italics,
        Underline,
        AlignTop,
        AlignBottom,
        AlignLeft,
        AlignRight,
        AlignVertically,
        AlignHorizontal,
        SpacingHorizontal,
        SpacingVertical,
        SameWidth,
        SameHeight,
        SameSize,
        ActionCount
    };

    explicit CMainFrame(QWidget* parent = nullptr);

    QAction* action(Action id) const { return m_actions[id]; }
    CTabWidgetEx* tabWidget() const { return m_tabs; }
    // Null while the current tab holds no document.
    CSVGView* currentView() const { return m_currentView; }
    QString currentTabText() const;
    QDockWidget* previewDock() const { return m_previewDock; }
    QString previewAddress() const { return m_previewAddress; }

    // The page buttons that start-up made; retranslated with the window.
    void setPageButtons(QPushButton* dataCenter, QPushButton* designCenter);

    void retranslateUi();
    void adjustToolBarWidths();

    // Opens an SVG file in a tab of its own, or shows the tab that has it.
    // A file that holds no drawing is refused with a message, and false; a
    // damaged one opens as far as it was read, with a message.
    bool openFileInTab(const QString& path);
    // Opens a design given as Base64 SVG text in an empty current view or a
    // new tab named name; false, with a warning, when it holds no drawing.
    // address, where the store's package was fetched, tells the design
    // again, whatever cache query the page added to it.
    bool openDesignData(const QString& base64, const QString& name, const QString& address = QString());

    // Whether that tab may close: asks while its online nesting job runs,
    // and when its drawing has unsaved changes.
    bool confirmCloseView(QWidget* tab);
    // The same questions before the view's file is read again over its
    // drawing.
    bool confirmReloadView(CSVGView* view);
    // Whether the window may close: asks for each tab whose job runs.
    bool confirmCloseWithNesting();
    // confirmCloseWithNesting, then one question for every drawing with
    // unsaved changes.
    bool confirmCloseWindow();
    // For a program that ends without asking: the drawings with unsaved
    // changes stay in the autosave folder, offered at the next start.
    void keepUnsavedDrawings();

    // Enables what the current document allows; a tear line locks the
    // editing toolbars down to saving, cutting and the tear-line toggle.
    void updateActionStates();
    // A tab shows its drawing's name, with "*" while it has unsaved changes.
    void updateTabTitle(CSVGView* view);
    // The drawing's new name (it was saved under it) reaches its tab, the
    // tooltip and the recovery copy; a name that another tab shows gets a
    // number.
    void nameDrawing(CSVGView* view, const QString& name, const QString& toolTip);
    void setCursorPosition(double x, double y);
    // Shows the selection's size in the size fields.
    void setSizeLabels(double length, double height);
    // The page of every tab, in document units: new views take it, and a
    // new page reaches every open view at once.
    CSVGRect canvasRect() const { return m_canvasRect; }
    void setCanvasRect(const CSVGRect& rect);

    // code: "zh_cn", "en", "ru", "ar", "ko" or "ger".
    Q_INVOKABLE void changeLanguage(const QString& code);
    // Fetches a design package and opens it under name.
    Q_INVOKABLE void sendfiledata(const QString& url, const QString& name);
    // As sendfiledata, keeping previewUrl (or the default preview) as the
    // design's preview; a failed fetch is not reported.
    Q_INVOKABLE void sendfiledataImage(const QString& url, const QString& name, const QString& previewUrl);
    Q_INVOKABLE void sendata(const QString& base64, const QString& name);
    Q_INVOKABLE void fileSaveQita(const QString& paths);

signals:
    void newsendtoupload(QString json);
    void sendtoupload(QString item, QString status);
    // The sign-in page has signed a user in.
    void signedIn();

public slots:
    // True while the machine has a network connection.
    bool isInternetConnected() const;
    // Reads the account's rights with the token that the sign-in stored.
    void afterLogin();
    void getShareData(const QString& url, const QString& name);
    void fileShare();

    void fileNew();
    void fileOpen();
    void tabClose(int index);
    void tabcurrentChanged(int index);
    void OncustomContextMenuRequested(const QPoint& position);
    void OnCloseTab(QAction* action);
    void OnCloseAllTab(QAction* action);
    void OnCloseRightTab(QAction* action);
    void OpenFolder(QAction* action);
    void OpenByDefault(QAction* action);
    void showPreview();

    void drawtextfinished();
    void canvasSettings();
    void OnAbout();
    void OnShowRule();
    void OnShowGrid();

    // Style slots: each sends one attribute list to the selection.
    void OnFillColor(QColor color);
    void OnStrokeColor(QColor color);
    void OnStrokeWidth(int width);
    void OnStrokeDashType(int index);
    void OntextBold();
    void OntextItalic();
    void OntextUnderLine();
    void OntextColor(QColor color);

    // Tools, editing and file commands (CMainFrameTools.cpp, CMainFrameEdit.cpp,
    // CMainFrameFiles.cpp, CMainFrameCut.cpp, CMainFrameClipboard.cpp).
    void drawline();
    void drawrect();
    void drawcircle();
    void drawellipse();
    void drawpolyline();
    void drawpolygon();
    void drawpath();
    void drawtext();
    void zoomin();
    void zoomout();
    void drawcustom(const QString& text);
    void ruler();
    void MovePoint();
    void CheckOpen(bool open);
    void SplitShape();
    void CutCurve();
    void DeletePoint();
    void DeleteFeature();
    void arrow();
    void drawcontinue();
    void copy();
    void Delete();
    void Clear();
    void undo();
    void redo();
    void OnGroup();
    void OnUnGroup();
    void OnMergeShapes();
    void OnAutoGroup();
    void OnLock();
    void OnUnlock();
    void OnRepairData();
    void alignleft();
    void aligntop();
    void alignright();
    void alignbottom();
    void alignverline();
    void alignhorline();
    void alignhorspace();
    void alignverspace();
    void alignsamewidth();
    void alignsameheight();
    void alignsamesize();
    void OnAlignLeftTop();
    void OnAlignLeftBottom();
    void Orientation(bool on);
    void OnPositionColor(bool on);
    void OnComment(bool on);
    void OnFillUrl(std::wstring markup);
    void OnCancelRuler();
    void createTemplate();
    void createTearLine(bool create);
    void AutoPlace();
    void OnImageContour();
    void OnVectorEngine();
    void drawimage();
    void expand();
    void PartialExpand();
    void ReLoadFile(QAction* action);
    void fileUploadOpen();
    void genetePdbPng(const QString& svgPath, const QString& pngPath);
    void newuploadFiles();
    void uploadFiles();
    void uploadFilesQiniu();
    void filePlot();
    void filePrint();
    void fileSave();
    void fileSaveAs();
    void fileSaveASDxf();
    void fileSaveASJpg();
    void fileSaveASPng();
    void layertop();
    void mirrorbottom();
    void mirrorright();
    void paste();
    void printimage();
    void offset();
    void preferences();

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    enum Stage { FileStage, EditStage, DrawStage, GroupStage, CanvasStage, LockStage, FontStage, AlignStage };

    // Most commands only forward to the current view and do nothing
    // without one.
    template <typename Result> void onCurrentView(Result (CSVGView::*command)())
    {
        if (m_currentView)
            (m_currentView->*command)();
    }
    void createActions(Stage stage);
    void createFileToolBar();
    void createEditMenu();
    void createDrawToolBar();
    void createFontToolBar();
    void createAlignToolBar();
    void createColorToolBar();
    void createRemovedToolBar(const QString& title, Stage stage);
    void createStatusBar();
    void createTabs();
    void createPreviewDock();
    QToolBar* newBlock(const QString& title);
    QWidget* newSizeWidget();
    QWidget* blockWidget(QToolBar* upper, QToolBar* lower);
    QWidget* container(int kind) const;
    static int leftToolBarWidth();

    void recoverAutosaved();
    void addNewFileTab(bool firstDocument);
    int newFileTabIndex() const;
    int nextNewFileNumber() const;
    static QString newFileTitle(int number);
    void retranslateNewFileTitles();
    QString uniqueAutosaveName(const QString& wanted, const CSVGView* owner, bool stored = false) const;
    QString uniqueDisplayName(const QString& wanted, const CSVGView* owner) const;
    // Makes the tab of the design fetched from that address current; false
    // when none is open.
    bool showOpenDesign(const QString& source);
    CSVGView* insertView(int index, const QString& text, const QString& toolTip);
    void closeTab(int index, bool ask);
    void closeTabsDownTo(int first);
    // The drawings' tabs from the index on.
    QList<CSVGView*> views(int first) const;
    // The questions before those drawings close: one for each running
    // online nesting job, then one for all unsaved work.
    bool confirmNesting(const QList<CSVGView*>& closing);
    bool confirmClosing(const QList<CSVGView*>& closing);
    // The view's name on its tab, and the tooltip, shown as typed.
    void setTabName(CSVGView* view, const QString& name, const QString& toolTip);
    void followCurrentTab();
    bool askContinueNesting();
    bool askCloseUnsaved(int drawings);
    bool confirmGivingWay(CSVGView* view, bool reload);
    void fetchPackage(const QString& url, const QString& name, bool reportFailure);
    void loadPreview();
    void applyUserRights();
    void setWidgetsEnabled(bool enabled);
    void syncCheckedStates(CSVGView* view);
    void lockForTearLine(bool tearLine);

    // The one place where style changes reach the selection, and where a tab
    // that shows the clipboard's outline starts the copy tool.
    void setSelectionAttributes(const QStringList& names, const QStringList& values);
    void setPaintAttributes(const QString& property, const QColor& color);
    void startPasteTool(CSVGView* view);

    // Design store
    // The drawing of an SVG file as a picture, through a view of its own
    // that no tab shows and that goes again; false when either file fails.
    bool exportPicture(const QString& svgPath, const QString& pngPath);
    // The picture and the package of one drawing of a template list.
    bool generatePackage(const QString& svgPath, const QString& pdbPath, const QString& pngPath);

    QAction* m_actions[ActionCount] = {};
    QVector<QAction*> m_hiddenActions;
    QLabel* m_statusLabel = nullptr;
    QLabel* m_lengthLabel = nullptr;
    QLabel* m_heightLabel = nullptr;
    QLineEdit* m_lengthField = nullptr;
    QLineEdit* m_heightField = nullptr;
    QSizeF m_shownSize;
    QPointer<QPushButton> m_dataCenterButton;
    QPointer<QPushButton> m_designCenterButton;
    CTabWidgetEx* m_tabs = nullptr;
    CSVGView* m_currentView = nullptr;
    // Set while the last document tab goes, so that the new-file tab
    // becoming current meanwhile makes no document.
    bool m_closing = false;
    bool m_showRuler = true;
    bool m_showGrid = false;
    CSVGRect m_canvasRect { 0, 0, 15000, 1520 };
    QString m_previewAddress;
    QDockWidget* m_previewDock = nullptr;

    QMenu* m_importMenu = nullptr;
    QMenu* m_editMenu = nullptr;
    QToolBar* m_fileToolBar = nullptr;
    QToolBar* m_fontToolBar = nullptr;
    QToolBar* m_upperRightBlock = nullptr;
    QToolBar* m_lowerRightBlock = nullptr;
    QToolBar* m_editToolBar = nullptr;
    QToolBar* m_upperLeftBlock = nullptr;
    QToolBar* m_lowerLeftBlock = nullptr;
    // Holds the two left blocks.
    QWidget* m_leftBlocks = nullptr;
    QToolBar* m_drawToolBar = nullptr;
    QToolBar* m_stageToolBar = nullptr;

    QFontComboBox* m_fontFamilyBox = nullptr;
    QComboBox* m_fontSizeBox = nullptr;
    CToolButtonColorMenu* m_textColorButton = nullptr;
    CToolButtonComboxMenu* m_strokeWidthButton = nullptr;
    CToolButtonComboxMenu* m_dashButton = nullptr;
    CToolButtonColorMenu* m_strokeColorButton = nullptr;
    CToolButtonColorMenu* m_fillColorButton = nullptr;
};
