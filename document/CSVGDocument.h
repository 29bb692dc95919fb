#pragma once

#include "CActionHistory.h"
#include "CSVGElement.h"
#include "CSVGHighlightList.h"
#include "CSVGTileIndex.h"
#include "SvgCodes.h"

#include <QColor>
#include <QImage>
#include <QJsonArray>
#include <QPainterPath>
#include <QPolygonF>
#include <QRectF>
#include <QSize>
#include <QString>
#include <QVector>

#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

class CActionBase;
class CActionComposite;
class CSVGElementPath;
class CSVGElementStyle;
class CSVGRotation;
class QPainter;
class CSVGStyleRule;
class QByteArray;

// One open drawing. The document is itself the top element of its tree (tag
// "document", no id); its first svg child is the root of the drawing. It
// makes every element (createElement), keeps the map from ids to elements,
// the style elements and the selection. A new document holds an empty root
// of the page size.
//
// The element tree is deleted first when the document dies, while the maps
// and lists that the elements' destructors reach are still there. Undo
// actions that own elements of this document must be deleted before it.
class CSVGDocument : public CSVGElement
{
    Q_OBJECT
public:
    CSVGDocument();
    ~CSVGDocument() override;

    // Document lifecycle, page and view
    //
    // Deletes the tree, the tile cells, the ids (used ones too) and the undo
    // actions; the id counter keeps its value. newDocument gives an empty
    // drawing again.
    void clearContents();
    // The root's "height" as a length; 0 without a root.
    double getPageHeight();
    // The page in document units, from the root's size when a file is read.
    QSize getPageSize() const { return QSize(m_pageWidth, m_pageHeight); }
    // The union of the transformed bounding rectangles of the root's
    // drawable children; null without any.
    QRectF getContentBoundingRect();
    // The element's painter path with those of its drawable descendants.
    QPainterPath buildElementPath(CSVGElement* element);
    // The element and its descendants, in pre-order.
    static void collectSubtree(CSVGElement* element, std::vector<CSVGElement*>& out);
    static bool lessByDrawingOrder(const CSVGElement* a, const CSVGElement* b);
    // The folder of the file opened last, without its final separator.
    QString getFilePath() const { return QString::fromStdWString(m_fileFolder); }
    // True while the reader scans text into the document.
    bool isLoading() const { return m_loading; }
    void setLoading(bool loading) { m_loading = loading; }
    QRectF getPageRect() const { return m_pageRect; }
    // Both setters make the intersection marks stale.
    void setPageRect(const QRectF& rect);
    QSize getViewSize() const { return m_viewSize; }
    // Truncated to whole pixels; both layers are painted again.
    void setViewSize(double width, double height);
    QImage& getBackgroundImage() { return m_backgroundImage; }
    QImage& getOverlayImage() { return m_overlayImage; }
    // Canvas to device: translate(100, 100) when built.
    CSVGMatrix getViewMatrix() const { return m_viewMatrix; }
    void setViewMatrix(const CSVGMatrix& matrix) { m_viewMatrix = matrix; }
    CSVGMatrix getWorkingMatrix() const { return m_workingMatrix; }
    void setWorkingMatrix(const CSVGMatrix& matrix) { m_workingMatrix = matrix; }
    // Maps the page rectangle into the region the cut output writes.
    CSVGMatrix getPageMatrix() const { return m_pageMatrix; }
    void setPageMatrix(const CSVGMatrix& matrix);
    // Node picking and snapping reach; the view sets it on every press.
    double getPickTolerance() const { return m_pickTolerance; }
    void setPickTolerance(double tolerance) { m_pickTolerance = tolerance; }
    // The union of the selected shapes' rectangles; null until computed.
    QRectF getSelectionRectCache() const { return m_selectionRect; }
    void setSelectionRectCache(const QRectF& rect) { m_selectionRect = rect; }
    // Set by the online nesting launcher while its job runs.
    QString getNestingJobId() const { return m_nestingJobId; }
    void setNestingJobId(const QString& id) { m_nestingJobId = id; }
    // Made when the rotate command first needs it; dropRotation deletes it.
    CSVGRotation* getRotation();
    void dropRotation();

    // Default style of new shapes and texts
    std::wstring getDefaultFontSize() const { return m_defaultFontSize; }
    std::wstring getDefaultFill() const { return m_defaultFill; }
    std::wstring getDefaultFillOpacity() const { return m_defaultFillOpacity; }
    std::wstring getDefaultTextFill() const { return m_defaultTextFill; }
    std::wstring getDefaultStroke() const { return m_defaultStroke; }
    std::wstring getDefaultStrokeWidth() const { return m_defaultStrokeWidth; }
    std::wstring getDefaultStrokeDashArray() const { return m_defaultStrokeDashArray; }

    // Display flags read by the canvas; the setters request the repaints
    // that the change needs.
    bool isShowGrid() const { return m_showGrid; }
    void setShowGrid(bool show);
    bool isShowRuler() const { return m_showRuler; }
    void setShowRuler(bool show);
    bool isBackgroundChanged() const { return m_backgroundChanged; }
    void setBackgroundChanged(bool changed) { m_backgroundChanged = changed; }
    bool isOverlayChanged() const { return m_overlayChanged; }
    void setOverlayChanged(bool changed) { m_overlayChanged = changed; }
    QColor getCanvasColor() const { return m_canvasColor; }
    void setCanvasColor(const QColor& color);
    bool isCanvasColorEnabled() const { return m_canvasColorEnabled; }
    // Off also resets the colour to white.
    void setCanvasColorEnabled(bool enabled);
    // The angle constraint of the drawing tools.
    bool isOrientation() const { return m_orientation; }
    void setOrientation(bool constrained) { m_orientation = constrained; }
    // Text caret: the character position in the edited text, -1 for none.
    int getCaretIndex() const { return m_caretIndex; }
    void setCaretIndex(int index) { m_caretIndex = index; }
    bool isCursorVisible() const { return m_cursorVisible; }
    void setCursorVisible(bool visible);

    // A new element of this document, without parent, its id registered.
    // The tag decides the class; a tag of no known kind gives a plain element
    // of type 0, an empty tag null.
    CSVGElement* createElement(const std::wstring& tagName);
    // The class of the type code, for copies of an element: a class whose
    // tag is not in the element-name table (the comment) keeps its class.
    // An unknown code gives a plain element of type 0 with the tag.
    CSVGElement* createElementOfType(int type, const std::wstring& tagName);
    // Appends a new, empty root svg element whose viewBox is the page.
    void newDocument();
    // A path element without parent that draws the painter path's moves,
    // lines and cubic curves, closed when the path ends where it starts, in
    // the document's default stroke; its matrix and geometry are up to date.
    CSVGElementPath* createPathElement(const QPainterPath& path);
    // The root svg element; null when there is none.
    CSVGElement* getOwnerSvg() override;

    // Ids. A lookup of an empty id or of one that is not mapped gives null,
    // and a removed or deleted element is never returned.
    CSVGElement* getElementById(const std::wstring& id) const;
    // Maps the element's own id to it (replacing another element's entry)
    // while id tracking is on, and moves the id counter past the number after
    // the id's first "_". Any other id is refused.
    void registerElementId(CSVGElement* element, const std::wstring& id);
    // For a new element's own id: false when the id is taken; otherwise maps
    // the element to it as registerElementId does (while id tracking is on).
    bool claimNewId(CSVGElement* element, const std::wstring& id);
    // Drops the entry of the element's id when it names this element, and
    // then emits elementRemoved for a shape.
    void unregisterElementId(CSVGElement* element);
    // Drops the entry quietly when it names this element: the element keeps
    // living under another id or is being destroyed.
    void dropElementId(CSVGElement* element, const std::wstring& id);
    // The id is mapped now or was handed out before in this document.
    bool isIdTaken(const std::wstring& id) const;
    bool isIdTracking() const { return m_idTracking; }
    void setIdTracking(bool on) { m_idTracking = on; }
    std::int64_t getIdCounter() const { return m_idCounter; }
    void setIdCounter(std::int64_t counter) { m_idCounter = counter; }
    // tag + "_" + the id counter, moved on past every id used before.
    std::wstring makeUniqueId(const std::wstring& tagName);
    // Numbers the elements below the root in document order and gives every
    // element without an id a new one.
    void renumberDrawingOrder();

    // Whether the id was referenced, at the last updateReferencedIds, by a
    // paint ("url(#id)" in "fill", "stroke", "style", a class rule or a style
    // sheet) or by an "xlink:href" of "#id". The file writer counts before it
    // writes.
    bool isReferenced(const std::wstring& id) const;
    void updateReferencedIds();

    // The style elements of the tree, in the order they were registered. An
    // element leaves the list when it is removed from the tree or destroyed.
    void registerStyleElement(CSVGElementStyle* style);
    bool unregisterStyleElement(const CSVGElement* style);
    const std::vector<CSVGElementStyle*>& getStyleElements() const { return m_styleElements; }
    // The class rule of that name. When several style elements define it,
    // the one registered last wins, as a later sheet does in CSS; null when
    // none does.
    CSVGStyleRule* findStyleRule(const std::wstring& name) const;

    // Modified since the last autosave. Hides the element's flag of the same
    // name, which means "changed since last painted".
    bool isModified() const { return m_documentModified; }
    void setModified(bool modified) { m_documentModified = modified; }
    // Makes the view refresh.
    bool isContentChanged() const { return m_contentChanged; }
    void setContentChanged(bool changed) { m_contentChanged = changed; }
    // The opened file's folder, ending in "/".
    std::wstring getBaseDir() const { return m_baseDir; }
    void setBaseDir(const std::wstring& folder) { m_baseDir = folder; }
    std::wstring getDefaultFontFamily() const { return m_defaultFontFamily; }

    // Selection. The target of selectElement is the element itself, or for
    // an element inside a group its outermost drawable ancestor below the
    // svg element; the element inside becomes the current element.
    QVector<CSVGElement*> getSelection() const { return m_selection; }
    CSVGElement* getFirstSelected() const { return m_selection.isEmpty() ? nullptr : m_selection.first(); }
    CSVGElement* getCurrentElement() const { return m_currentElement; }
    void selectElement(CSVGElement* element, const QColor& color);
    void unselectElement(CSVGElement* element);
    // The union of the selected shapes' transformed bounding rectangles;
    // null for a selection without shapes.
    QRectF getSelectionRect();
    // Empties the selection, its highlights and the text caret, and closes
    // the pending transform step of the undo history.
    void clearSelection();
    // Drops the current element and its highlight record.
    void clearCurrentElement();
    void rebuildHighlights();

    // Tile index (see CSVGTileIndex)
    void addToTiles(CSVGElement* element);
    std::vector<TileCell*> getTilesForRect(const CSVGRect& rect) { return m_tiles.cellsForRect(rect); }
    void removeFromTiles(CSVGElement* element) { m_tiles.remove(element); }
    // The cells the shape was listed under by its last addToTiles.
    std::vector<TileCell*> getTileCells(const CSVGElement* element) const { return m_tiles.cellsOf(element); }
    // Deletes what the drawing side cached in the cells.
    void releaseTileCellObjects() { m_tiles.releaseCachedObjects(); }

    // Reading SVG text
    //
    // Replaces the drawing with the file's (decoded by its byte-order mark or
    // declared encoding, else as UTF-8). False for an empty path or a file
    // that cannot be read, which leaves an empty root of the page size.
    bool openFile(const std::wstring& path);
    // Replaces an empty drawing with the bytes' one, or adds it 10 units
    // below the content with the same left edge and fresh ids. No undo step.
    bool loadSvgData(const QByteArray& bytes);
    // Replaces the drawing with the text's; reads the page size, the origin
    // and the custom positions from the root. Always true.
    bool parseSvgText(const std::wstring& text, bool ungroup, bool moveToOrigin);
    // Builds the text's elements under the parent (see CSVGXmlScanner).
    void scanXml(const std::wstring& text, CSVGElement* parent);
    // With two or more children, the root gets one g holding them all.
    void groupRootChildren();
    // Inserts the text at the caret of the text under editing, or adds the
    // elements of the SVG text (wrapped in "<svg>" when it holds none) with
    // fresh ids, selected. The recorded step, or null.
    CActionComposite* pasteSvgText(const std::wstring& text);
    // pasteSvgText, then the selection centred on the point.
    void pasteSvgTextAt(const std::wstring& text, const QPointF& point);
    // Gives the imported document's elements and class rules fresh names
    // from its id counter; references and class attributes follow.
    static void renameImportedIds(CSVGDocument* imported);
    // The text of SVG file bytes, up to the first NUL character.
    static QString decodeSvgBytes(const QByteArray& bytes);

    // The interaction mode of the mouse tools: 0 select, 10 path drawing,
    // 27 move point, 28 delete feature ...
    int getEditMode() const { return m_editMode; }
    void setEditMode(int mode) { m_editMode = mode; }
    // The modes that edit outlines node by node: 21 to 23 and 27 to 31.
    bool isOutlineEditMode() const;
    // Shapes with a "position_id" filled in their position colour, and
    // labelled with the position's name.
    bool isShowPositionColor() const { return m_showPositionColor; }
    void setShowPositionColor(bool show) { m_showPositionColor = show; }
    bool isShowComment() const { return m_showComment; }
    void setShowComment(bool show) { m_showComment = show; }
    // The drawing's own positions: objects with at least "id", "color" and
    // "name", for ids that the setting "PositionColor" does not know.
    QJsonArray getCustomPositions() const { return m_customPositions; }
    void setCustomPositions(const QJsonArray& positions) { m_customPositions = positions; }

    // Node highlights. Painting marks the highlight nodes of selected
    // elements in mode 27, and in the other outline modes while the node
    // records are shown; the current node and the marked nodes in red.
    CSVGHighlightList& getHighlightList() { return m_highlights; }
    HighlightNode getCurrentNode() const { return m_currentNode; }
    void setCurrentNode(const HighlightNode& node) { m_currentNode = node; }
    // The node under the pointer.
    HighlightNode getHoverNode() const { return m_hoverNode; }
    void setHoverNode(const HighlightNode& node) { m_hoverNode = node; }
    bool isShowNodeRecords() const { return m_showNodeRecords; }
    void setShowNodeRecords(bool show) { m_showNodeRecords = show; }

    // For an element that is destroyed or moves to another document: nothing
    // of this document keeps pointing at it afterwards.
    void forgetElement(CSVGElement* element, const std::wstring& id);

    // Undo history
    CActionHistory& getHistory() { return m_history; }
    // The user's Undo: in the drawing modes the last point or segment of the
    // drawing goes; otherwise the last done step is undone. Then back to mode
    // 0 with an empty selection.
    void undo();
    void redo();
    // Opens the one pending transform step of a gesture: a composite pushed on
    // the history (or added to the parent), holding one "transform" attribute
    // action per selected element. Nothing while one is open.
    void beginTransformAction(CActionComposite* parent = nullptr);
    // Captures the after-states of the open step and closes it.
    void endTransformAction();
    CActionComposite* getPendingTransform() const { return m_pendingTransform; }
    // Called by actions after they changed the tree: rebuilds the highlight
    // records (and with renumber the drawing order) now, or once at the end of
    // the batch under way.
    void refreshAfterAction(bool renumber);
    // While one lives, refreshAfterAction waits for the end of the outermost
    // batch; a composite action runs its children under one.
    class ActionBatch
    {
    public:
        explicit ActionBatch(CSVGDocument* document);
        ~ActionBatch();
        ActionBatch(const ActionBatch&) = delete;
        ActionBatch& operator=(const ActionBatch&) = delete;

    private:
        CSVGDocument* m_document;
    };

    // Piece intersection check. A piece is a drawable child of the root;
    // tear lines take no part.
    // Stops a check under way and queues a new run on this document's
    // thread; a document destroyed meanwhile drops it. Nothing without a
    // root.
    void requestIntersectionCheck();
    // One run: marks every piece that overlaps another (touching boxes do
    // not count), that lies across the page border, or whose outline is two
    // points closed back onto the first. Runs of all documents exclude each
    // other; a request stops a run at its next piece or pair.
    void checkIntersections();
    // Marked by the last run. No lock: the check runs on this thread.
    bool isIntersected(const CSVGElement* shape) const;
    // Whether the marks predate the last change of the tree or the page.
    bool isIntersectionStale();
    // Whether cutting may go on: no marked piece inside the page and no
    // piece (tear lines included) across the page border; otherwise the
    // warning "Some pieces has intersected!", and false. Runs the check
    // first when its marks are stale. False without a root.
    bool checkNoIntersection();
    // The path's box overlaps the page without lying inside it.
    bool crossesPageBorder(const QPainterPath& path) const;
    // The element's canvas box lies in the page, edges included.
    bool isInsidePage(CSVGElement* element) const;
    // The page rectangle on the canvas.
    CSVGRect getMappedPageRect() const;
    // Where the document's warnings go (title, text): the editor passes them
    // to its prompt seam. Without a hook they are logged.
    using WarningHook = std::function<void(const QString& title, const QString& text)>;
    static void setWarningHook(WarningHook hook);
    static void showWarning(const QString& title, const QString& text);

    // Writing SVG text
    // "<?xml version="1.0" encoding="utf-8" standalone="no"?>"
    static const std::wstring& xmlDeclaration();
    // The declaration followed by writeSvgBody. Saving passes the defaults.
    std::wstring toSvgText(const CSVGRect& region = CSVGRect(), int widthLimit = -1, double overlap = 0.0,
        int firstSection = -1, int lastSection = -1, bool plotEnd = false);
    // The pieces on the page, for cutting: empty without a page rectangle,
    // or when pieces overlap or cross the page border (after the warning).
    std::wstring pageToSvgText(int widthLimit, double overlap, int firstSection, int lastSection, bool plotEnd);
    // The root and its subtree. An empty region writes the whole drawing in
    // its own order. Otherwise only the pieces lying in the region are
    // written, from a working copy: ordered by position (lessByPosition),
    // with plot-end marks on request. Sets the root's namespace declarations
    // and "custom_positions", and brings the style sheets' text up to date
    // with their rules; id tracking is on again however the write ends.
    void writeSvgBody(std::wstring& out, const CSVGRect& region = CSVGRect(), int widthLimit = -1, double overlap = 0.0,
        int firstSection = -1, int lastSection = -1, bool plotEnd = false);
    // Declares "xmlns", "xmlns:xlink", "version" and every prefix that a tag
    // or attribute name of the tree uses ("xml" and "xmlns" excepted).
    void updateRootNamespaces();
    // The selected pieces in drawing order for the clipboard, each after the
    // paint servers and the class rule it needs; tear lines are left out.
    std::wstring selectionToSvgText();
    // The paint server of the element's "fill" and its class rule (as a style
    // block) with the paint server that rule fills with.
    void writeElementWithClassStyle(CSVGElement* element, std::wstring& out);
    // Left edges, taken to 0.001, then top edges; elements that are not
    // drawable come first. A strict weak ordering.
    static bool lessByPosition(CSVGElement* a, CSVGElement* b);
    // The declaration, a line break and the body through the safe file
    // writer: a failed write returns false and leaves the old file as it was.
    bool saveFile(const QString& path);

    // Structure commands
    //
    // Two or more selected elements go, in drawing order, into a new group at
    // the end of the root, which is then selected alone; one undo step.
    void groupSelection();

    // Plot preparation and sections
    //
    // Why buildPlotSections gave what it gave.
    enum class PlotOutcome {
        Sections,
        // No root, a width that is not positive, or a drawing that fits in
        // one frame.
        NoSections,
        // Pieces overlap one another; the warning has been shown.
        Overlapping,
        // The drawing would need more than kMaxPlotSections frames.
        TooManySections
    };
    static constexpr int kMaxPlotSections = 10000;
    // One SVG text of polylines per frame of the given width, each shifted
    // to start at x = 0, from a working copy of the drawing; with endLine the
    // plot-end line "PlotEnd" right of the drawing counts too. Curves are
    // flattened; nothing left of x = 0 is cut. This document is not changed.
    std::vector<std::wstring> buildPlotSections(double width, bool endLine, PlotOutcome* outcome = nullptr);
    // On a working copy: every child of the root is replaced by the pieces of
    // sections first to last (the overlap reaching past each right edge), as
    // polylines in place. Pieces that only touch the range are dropped.
    void keepSectionRange(const QRectF& sectionRect, double overlap, int first, int last);
    // The element's flattened outline cut into sections 0, 1, ... up to the
    // last one it reaches (at most kMaxPlotSections); empty for anything
    // that is not drawable or has no outline.
    std::vector<std::vector<QPolygonF>> clipElementToSections(
        CSVGElement* element, const QRectF& sectionRect, double overlap);
    // See CSVGSectionClipper.
    static std::vector<QPolygonF> clipPolylineToRect(const QPolygonF& polyline, const QRectF& rect, double extension);

    // Raster rendering and image elements
    //
    // The SVG text drawn (outlines) into a target of the given size, both -1
    // for the source size: the page when valid, else the drawing's box,
    // scaled to fit and centred. A valid page is filled white, framed and
    // split into that many red divisions with blue numbers, and comes back in
    // target pixels. count is the number of pieces. Text that does not load
    // or a target beyond CSVGElementImage::kMaxPixels gives 32 by 32
    // transparent pixels.
    static void renderSvgToImage(
        QImage& image, int& count, const std::wstring& text, int width, int height, QRectF& pageRect, int divisions);
    // The text's outlines at their own coordinates in an image of the root's
    // "width" and "height", else of its "viewBox" size; white under "jpg",
    // transparent otherwise.
    static QImage renderImageForSave(const std::wstring& text, const std::wstring& format);
    // Every drawable child of the root paints itself with the matrix.
    void paintElements(QPainter* painter, const CSVGMatrix& matrix);
    // Adds the picture (Base64 of an image file) at (0, 0), sized in
    // millimetres from its resolution (96 dpi when it has none), selected;
    // one undo step. False, and nothing added, when it is not a picture.
    bool insertImage(const std::wstring& base64);
    // printImage for every selected image element.
    void printSelectedImages(const QString& folder);
    // The element's picture, clipped to the outlines of the pieces lying
    // within it, as "<id>.png" in the folder (separators in the id become
    // "_", so the file stays in the folder). False when nothing is written.
    bool printImage(CSVGElement* element, const QString& folder);

signals:
    void selectionChanged();
    void elementRemoved(CSVGElement* element);

private:
    static void appendPainterPath(CSVGElementPath* element, const QPainterPath& path);
    // Moves the id counter past the number after the id's first "_".
    void raiseIdCounterPast(const std::wstring& id);
    // Reading
    void readRootAttributes(CSVGElement* root);
    void readCustomPositions(const std::wstring& text);
    void mergeImported(CSVGDocument& imported);
    CActionComposite* pasteIntoText(CSVGElement* text, const std::wstring& pasted);
    // The drawable children of the root, each moved by (dx, dy) after its own
    // transform.
    void translateRootShapes(double dx, double dy);
    static void addUrlReferences(const std::wstring& text, std::unordered_set<std::wstring>& ids);
    void addReferencesOf(const CSVGElement* element);

    bool m_idTracking = true;
    std::vector<CSVGElementStyle*> m_styleElements;
    // Hashed: every element made, renamed or removed, and every reference
    // resolved, looks its id up here.
    std::unordered_map<std::wstring, CSVGElement*> m_idMap;
    std::unordered_set<std::wstring> m_usedIds;
    std::unordered_set<std::wstring> m_referencedIds;
    std::wstring m_baseDir;
    // 64 bits: an id from a file may carry any number up to INT_MAX, and the
    // counter goes one past it.
    std::int64_t m_idCounter = 0;

    // The page in document units; a new root's viewBox.
    int m_pageWidth = 15000;
    int m_pageHeight = 1520;

    std::wstring m_defaultFontFamily = L"SIMSUN";
    std::wstring m_defaultFontSize = L"24pt";
    std::wstring m_defaultStroke = L"#000000";
    std::wstring m_defaultFill = L"#FFFFFF";
    std::wstring m_defaultFillOpacity = L"1.0";
    std::wstring m_defaultTextFill = L"#000000";
    std::wstring m_defaultStrokeWidth = L"1";
    std::wstring m_defaultStrokeDashArray;

    // Document lifecycle, page and view
    bool m_loading = true;
    std::wstring m_fileFolder;
    QSize m_viewSize { 800, 300 };
    QRectF m_pageRect;
    QImage m_backgroundImage;
    QImage m_overlayImage;
    CSVGMatrix m_viewMatrix;
    CSVGMatrix m_workingMatrix;
    CSVGMatrix m_pageMatrix;
    QRectF m_selectionRect;
    double m_pickTolerance = 5.0;
    int m_caretIndex = -1;
    bool m_cursorVisible = true;
    HighlightNode m_hoverNode;
    CSVGRotation* m_rotation = nullptr;
    QString m_nestingJobId;
    bool m_showGrid = true;
    bool m_showRuler = true;
    bool m_backgroundChanged = true;
    bool m_overlayChanged = true;
    QColor m_canvasColor = Qt::white;
    bool m_canvasColorEnabled = false;
    bool m_orientation = false;
    CSVGTileIndex m_tiles;

    QVector<CSVGElement*> m_selection;
    CSVGElement* m_currentElement = nullptr;

    bool m_documentModified = false;
    bool m_contentChanged = false;

    int m_editMode = EditMode::Select;
    bool m_showPositionColor = false;
    bool m_showComment = false;
    QJsonArray m_customPositions;
    CSVGHighlightList m_highlights;
    HighlightNode m_currentNode;
    bool m_showNodeRecords = false;

    // Undo history
    void initHistory();
    void undoDrawingPoint();
    CActionHistory m_history;
    CActionComposite* m_pendingTransform = nullptr;
    int m_batchDepth = 0;
    bool m_batchRenumber = false;
    bool m_batchHighlights = false;

    // Piece intersection check
    struct CheckedPiece
    {
        const CSVGElement* element;
        QPainterPath outline;
        QRectF box;
        bool operator==(const CheckedPiece& other) const;
    };
    static WarningHook& warningHook();
    std::vector<CheckedPiece> collectPieces();
    // One run on these pieces; the caller holds the check's lock.
    void runCheck(std::vector<CheckedPiece> pieces);
    // By element, not by id: ids may repeat or be empty.
    std::set<const CSVGElement*> m_intersected;
    // The pieces as the last run saw them: the marks are stale when the
    // pieces differ now, whatever changed them.
    std::vector<CheckedPiece> m_checkedPieces;
    bool m_intersectionStale = true;

    // Writing SVG text
    void giveMissingIds();
    std::wstring customPositionsText() const;
    void appendSvgBody(std::wstring& out, const CSVGRect& region, int widthLimit, double overlap, int firstSection,
        int lastSection, bool plotEnd);
    void writeRegion(std::wstring& out, const CSVGRect& region, int widthLimit, double overlap, int firstSection,
        int lastSection, bool plotEnd);
    void copyRegionInto(CSVGDocument& work, const CSVGRect& region);
    void addPlotEndMarks(CSVGDocument& work);
    void keepSections(CSVGDocument& work, int widthLimit, double overlap, int firstSection, int lastSection);

    // Plot preparation and sections
    // A working copy of the drawing with matrices and boxes up to date.
    bool copyForPlot(CSVGDocument& work);
    // Whether two pieces of the working copy overlap (a line piece, marked by
    // the check on its own, does not count).
    static bool hasOverlappingPieces(CSVGDocument& work);
    // The flattened outlines of the root's drawable children, in order.
    static QList<QPolygonF> flattenRootChildren(CSVGDocument& work);
    CSVGElement* appendSectionPolyline(CSVGElement* parent, const QPolygonF& points);
    std::wstring sectionText(const std::vector<QPolygonF>& pieces, double shift);

    // Raster rendering and image elements
    // Brings the drawing's matrices and geometry up to date and lets the
    // root's drawable children paint themselves with the view matrix.
    void refreshAndPaint(QPainter& painter, const CSVGMatrix& view);
};
