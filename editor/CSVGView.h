#pragma once

#include "CSVGDocument.h"
#include "DlgText.h"
#include "DlgTextHost.h"

#include <QElapsedTimer>
#include <QFileInfoList>
#include <QGraphicsView>
#include <QImage>
#include <QList>
#include <QPainterPath>
#include <QPointer>
#include <QRecursiveMutex>
#include <QString>

#include <functional>
#include <string>
#include <utility>

class CActionComposite;
class CMainFrame;
class CSVGRulerItem;
class CSVGScene;
class QGraphicsLineItem;
class QGraphicsPathItem;
class QGraphicsTextItem;
class QMimeData;
class QPrinter;
class SVGCurveItem;
class SVGPathItem;
class SelectRubberBand;

// The canvas of one document tab. It owns its document and the scene that
// shows it, zooms, decides antialiasing per paint and forwards to the
// document. Every document command ends with repaint().
class CSVGView : public QGraphicsView, public DlgTextHost
{
    Q_OBJECT
public:
    // The main window gives the page; the view works without one.
    explicit CSVGView(CMainFrame* mainFrame);
    ~CSVGView() override;

    CSVGDocument* getDocument() { return &m_document; }
    CSVGScene* getScene() const { return m_scene; }
    QString getFilePath() const { return m_filePath; }
    void setFilePath(const QString& path) { m_filePath = path; }
    // The name of the view's file in the autosave folder; empty for a
    // document opened from disk, which is never autosaved. The view removes
    // its file when it goes. A file of that name may be there already: a
    // restored view takes over its copy.
    QString getAutosaveName() const { return m_autosaveName; }
    void setAutosaveName(const QString& name)
    {
        m_autosaveName = name;
        m_autosaveOnDisk = true;
    }
    // The per-user folder of the autosave files, created when missing.
    static QString autosaveFolder();
    // A drawing's name as a plain file name that gives the name back: what a
    // file name cannot hold, the dot and "%" are written as "%" and two hex
    // digits; a long name is cut short. "%@" marks the name a design is
    // stored under in the online store; a number after "%_" tells apart
    // drawings of one name.
    static QString autosaveNameFor(const QString& name, int number = 1, bool stored = false);
    // The drawing's name that an autosave name was made of; stored, when
    // given, learns whether the design is stored under it.
    static QString nameOfAutosave(const QString& autosaveName, bool* stored = nullptr);

    // Gives the autosave file, when there is one, the new name.
    void renameAutosave(const QString& name);
    // The drawing's name on its tab, shown as it is; the tab adds "*" while
    // it has unsaved changes.
    QString displayName() const { return m_displayName; }
    void setDisplayName(const QString& name);
    // A design from the online store: the name it is stored under, which
    // the store's save dialog offers, and the address of its package, where
    // it was fetched from or stored to (empty for a design handed over as
    // text). Both empty for any other drawing.
    QString storeName() const { return m_storeName; }
    QString storeSource() const { return m_storeSource; }
    void setStoreOrigin(const QString& name, const QString& source);

    // Whether the drawing differs from what was last saved, to disk or to
    // the store (a new drawing counts as saved while it is empty). Back at
    // the saved state, by Undo or Redo, it has none. Unlike the document's
    // modified flag, which the autosave tick clears, it is no flag but a
    // comparison.
    bool hasUnsavedChanges();
    // The drawing as it is now is saved: its recovery copy goes.
    void setSaved();

    // The main window's canvas becomes the document's page.
    void setPageRect(const QRectF& rect);

    // What the main window asks of the document.
    bool hasTearLine();
    QRectF contentBoundingRect();
    QString nestingJobId() const;

    // The text dialog's requests.
    bool isPickPosition() const { return m_pickPosition; }
    void setPickPosition(bool pick) override { m_pickPosition = pick; }
    void insertTextElement(const QString& text, const QTextCharFormat& format, const QPointF& point) override;

    // Document millimetres per screen millimetre: 1.0 is real size.
    double displayScale() const;
    // Scales the view, bounded so that the display scale stays between
    // 0.001 and the setting "ZoomLimit".
    void zoom(double sx, double sy);
    // As zoom, keeping the document point under the viewport point.
    void zoomAt(double sx, double sy, const QPoint& viewportPoint);
    // Fits the pieces, else the page, into the viewport; with neither, real
    // size.
    void fitPage();

    // Load into the document, then fit the page; false when the document
    // refused the file or the bytes. What was loaded counts as saved.
    bool openFile(const std::wstring& path);
    bool loadData(const QByteArray& data);

    // Exact at the quarter turns, so that rotated ticks stay square.
    static std::pair<double, double> cosSinOfDegrees(double degrees);

    // Files and exports. Each failure is told to the user and leaves the
    // document and its unsaved state as they were.
    // Reads the view's file again; a path that is no readable file (a
    // design's path is its name) keeps the document.
    bool reloadFile();
    // Writes the view's file, or asks for one first.
    bool saveFile();
    // Asks for a file and saves there; a cancelled question keeps the old
    // path. fileName receives the chosen file's name on success.
    bool saveFileAs(QString& fileName);
    bool saveAsDxf();
    bool saveAsJpg();
    bool saveAsPng();
    // Asks for a printer and prints the page, turned a quarter left, at real
    // size; false when cancelled or failed.
    bool print();
    bool printOn(QPrinter* printer);

    // View commands
    void alignLeft();
    void alignRight();
    void alignTop();
    void alignBottom();
    void alignHorLine();
    void alignVerLine();
    void alignHorSpace();
    void alignVerSpace();
    void alignSameWidth();
    void alignSameHeight();
    void alignSameSize();
    void alignLeftTop();
    void alignLeftBottom();
    void group();
    void ungroup();
    void lockSelection();
    void unlockAll();
    void bringToFront();
    void mergeShapes();
    void mirrorBottom();
    void autoGroup();
    void setSelectionAttributes(const QStringList& names, const QStringList& values, bool makeDefault);
    void setFillUrl(const std::wstring& svgText);
    void setShowPositionColor(bool show);
    void setShowComment(bool show);
    void toggleGrid();
    void toggleRuler();
    // Asks for a picture and traces it (straightened first in traceImage).
    void imageContour();
    void traceImage();
    // Inserts the picture file once it is prepared, off the window's
    // thread; told when it is none.
    void insertImageFile(const QString& path);

    // Cut and nesting entries
    // The cut dialog, once the pieces neither overlap nor leave the page and
    // at least one is there to cut.
    void plot();
    // Checks the selection for pieces too small to nest, then opens the
    // online or the local nesting, as the account allows.
    void autoPlace();
    // The selected pieces whose largest outline keeps fewer than three
    // points once simplified (tear lines, hidden pieces and non-shapes are
    // skipped).
    static QList<CSVGElement*> prepareNestingPieces(const QVector<CSVGElement*>& elements, int threads);
    // The hardware's threads, two left for the rest of the machine.
    static int nestingThreadCount();
    // Canvas input
    void onLeftButtonDown(QMouseEvent* event);
    void onLeftButtonUp(QMouseEvent* event);
    void onMiddleButtonDown(QMouseEvent* event);
    void onMiddleButtonUp(QMouseEvent* event);
    void onRightButtonUp(QMouseEvent* event);
    void onMouseMoved(QMouseEvent* event);
    void keyPressed(QKeyEvent* event);
    // A cursor code of the document's mouse operations; others are ignored.
    void setCursorShape(int code);
    // The canvas's tool feedback, for whoever needs to look at it.
    QList<CSVGRulerItem*> rulerItems() const { return m_rulers; }
    SVGPathItem* pathItem() const { return m_pathItem; }

    // Tool selection
    // Mode 27 needs a selection; mode 11 opens a new text dialog.
    void setDrawMode(int mode);
    // With nothing selected: "No selected pieces!" when warn, and false.
    bool hasSelection(bool warn = true);
    void startAddNode();
    void startCutCurve();
    void startDeletePoint();
    void startSplitShape();
    void mirrorRight();
    // The outline rubber bands then mark the stretch that a right press
    // widens by the width.
    void startPartialExpand(double width);
    void startDeleteFeature();
    void checkOpen(bool open);
    void setOrientation(bool on);
    void clearRulers();
    DlgText* textDialog() const { return m_textDialog; }
    // Design store
    // Asks for a name, offering the design's own, and stores the document
    // with its preview in the account's online store; an empty document is
    // not offered. Once stored, the drawing bears that name, counts as
    // saved and is that design, no longer the file it was opened from.
    void saveToStore();
    // The drawing in 300 by 300 pixels, whatever its view box.
    QImage previewImage();
    // The drawing at its own size as a picture, the format taken from the
    // path's suffix; false when it cannot be written.
    bool writePng(const QString& path);

    // Autosave
    //
    // Writes the document, enciphered, over the view's autosave file in one
    // atomic step. True only when the whole file was written; false for a
    // view without a usable autosave name. The document's modified flag is
    // left alone.
    bool writeAutosave();
    // Writes the autosave file now and leaves it when the view goes, so that
    // the next start offers the drawing: for a program that ends without
    // asking.
    void keepAutosaveForRecovery();
    int autosaveTimerId() const { return m_autosaveTimerId; }
    // The file of the autosave name in the folder; empty for a name that is
    // not one plain file name (a leading dot marks temporaries, so it does
    // not count as plain either).
    static QString autosaveFilePath(const QString& name);
    // The files in the folder that recovery may offer: plain names only,
    // none larger than the recovery reads. Files that cannot be a copy of a
    // drawing are set aside on the way.
    static QFileInfoList recoverableAutosaveFiles();
    // Moves a file that recovery cannot read into the folder's "unreadable"
    // folder, where it is kept but not offered again.
    static void setAutosaveFileAside(const QFileInfo& info);
    // The address of the stored design whose copy this is, kept beside the
    // copy; empty for any other drawing and for copies written before.
    static QString autosaveAddress(const QFileInfo& copy);
    // Removes a copy together with what is kept beside it.
    static void removeAutosaveFile(const QString& path);
    static constexpr qint64 kMaxAutosaveBytes = 256 * 1024 * 1024;
    // Caret-moving keys start the blink over.
    void restartCaretClock() { m_caretClock.start(); }

    // Clipboard
    //
    // The copy tool (mode 24): a press pastes the clipboard centred on the
    // point, a move takes the outline there; false while there is nothing
    // to place.
    void copyToolPress(const QPointF& point);
    bool copyToolMove(const QPointF& point);

signals:
    void textInserted(QGraphicsTextItem* item);
    void finishedTextEditor();

public slots:
    // Requests the intersection check after a change, repaints the scene and
    // shows the selection's size in the main window.
    void repaint();
    // Clipboard: the selection's outline follows the mouse until a click
    // places the copy; a paste lands where the copy tool placed the last.
    void OnCopy();
    void OnPaste();
    // Tool selection: the selected path is drawn on from its end.
    void OnDrawContinue();

    // View commands
    void OntextChanged(const QString& name, const QString& value);
    void OnDel();
    void OnUndo();
    void OnRedo();
    void OnClear();
    void OnGroup();
    void OnUnGroup();
    void OnRepairData(int precision);
    void OnRepairData();
    void OnRotate(int angle, bool finish);
    void OnZoomSize(double width, double height, bool finish);
    void OnOffsetSelection(double delta, double arcTolerance = 0.01,
        ClipperLib::JoinType joinType = ClipperLib::jtRound, ClipperLib::EndType endType = ClipperLib::etClosedPolygon);
    void OnDrawImage();
    void OnPrintImage();
    void createTemplate();
    void createTearLine(bool create);
    void OnCanvasNoBack();
    void OnCanvasDeepBlue();
    void OnCanvasMidBlue();
    void OnCanvasLightBlue();
    void OnCanvasDeepBlack();
    void OnCanvasWhite();
    void OnCanvasMoreColor();
    void OnReplaceImage();
    void updateTemplate();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    // Canvas input
    bool event(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    static double positiveSetting(const char* key, double fallback);
    void syncItemGeometry();
    void boundZoom(double& sx, double& sy) const;

    // Files and exports
    QString askExportName(const QString& filter, const QString& suffix);
    void storedAs(const QString& name, const QString& address, const QString& text);
    // Tells the user when the target is read-only or the write failed.
    bool writeChecked(const QString& path, const std::function<bool()>& write);
    // Cut and nesting entries
    void runPlotDialog();
    void runNestingDialog(bool online);
    int execNestingDialog(bool online);
    void finishNesting(const QList<CSVGElement*>& pieces, CActionComposite* step);
    // View commands
    void afterCommand(bool actions);
    void setCanvasColor(const QColor& color);
    QString askPictureFile();
    void traceFile(bool perspective);
    // Canvas input
    QPointF toDocument(const QPoint& viewportPoint) const;
    void setSnapTolerance();
    bool leftPress(QMouseEvent* event, const QPointF& point);
    bool movePointPress(const QPointF& point);
    void showRubberBand();
    void rightPress(QMouseEvent* event, const QPointF& point);
    bool toolMove(QMouseEvent* event, const QPointF& point);
    void rotateMove(const QPoint& position);
    void pathMove(const QPointF& point);
    void toolRelease(QMouseEvent* event);
    void rulerPress(const QPointF& point);
    void linePress(const QPointF& point);
    void pathPress(const QPointF& point);
    void splitAlong(const QPointF& end);
    // Ends the path being drawn: finished as far as it is drawn, or discarded
    // when that is less than a segment.
    void endPathDrawing();
    void undoPathSegment();
    void deleteToolItems();
    void dropImages(const QMimeData* data, const QPointF& point);
    void dropSvgText(const QByteArray& text, const QPointF& point);
    void updateMainFrameActions();
    // Tool selection
    bool startSelectionTool(int mode);

    // Canvas input
    SelectRubberBand* m_rubberBand = nullptr;
    // The selection when a band started with Shift: the document lets it go
    // at the press, the band adds to it.
    QVector<QPointer<CSVGElement>> m_bandBase;
    QPoint m_pressPosition;
    bool m_leftButtonDown = false;
    bool m_rightButtonDown = false;
    bool m_nodePress = false;
    QPointF m_rotationCentre;
    QList<CSVGRulerItem*> m_rulers;
    CSVGRulerItem* m_currentRuler = nullptr;
    bool m_middleDrag = false;
    QGraphicsLineItem* m_lineItem = nullptr;
    SVGCurveItem* m_curveItem = nullptr;
    QPointer<DlgText> m_textDialog;
    double m_partialExpandWidth = 0;
    QPointF m_copyPoint;
    SVGPathItem* m_pathItem = nullptr;
    // The "d" of a continued path before the view added its rubber segment:
    // what an end without a press restores.
    std::wstring m_continuedData;
    // A path of the drawing continued: its own ends do not close it.
    bool m_continuing = false;
    QPoint m_dragPosition;
    // Recursive: a document call may show a warning whose event loop brings
    // the next canvas event.
    QRecursiveMutex m_viewMutex;

    QPointer<CMainFrame> m_mainFrame;
    QString m_filePath;
    // View commands
    QList<QGraphicsPathItem*> m_templateItems;
    QString m_autosaveName;
    QString m_displayName;
    QString m_storeName;
    QString m_storeSource;
    bool m_keepAutosave = false;
    // A copy of the drawing may lie in the autosave folder.
    bool m_autosaveOnDisk = false;
    bool m_pickPosition = false;
    CSVGDocument m_document;
    // Owned; deleted with its items before the document goes.
    CSVGScene* m_scene = nullptr;
    int m_autosaveTimerId = -1;

    // Autosave
    void removeAutosave();
    bool writeAutosaveAddress(const QString& path) const;
    void startAutosaveTimer();
    void startCaretBlink();
    void blinkCaret();
    void autosaveTick();
    void dropAutosaveWhenSaved();
    void autosaveAfterUndo();
    QElapsedTimer m_caretClock;
    int m_caretTimerId = -1;

    // Clipboard
    void pasteClipboardAt(const QPointF& point);
    void leavePasteMode();
};
