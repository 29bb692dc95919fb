#pragma once

#include "CActionHistory.h"
#include "CSVGElement.h"
#include "CSVGElementPath.h"
#include "CSVGHighlightList.h"
#include "CSVGPieceIndex.h"
#include "CSVGTearLinePlacement.h"
#include "CSVGTileIndex.h"
#include "SvgCodes.h"
#include "SvgInputCheck.h"

#include <QColor>
#include <QElapsedTimer>
#include <QImage>
#include <QJsonArray>
#include <QLineF>
#include <QList>
#include <QPainterPath>
#include <QPoint>
#include <QPointF>
#include <QPointer>
#include <QPolygonF>
#include <QRectF>
#include <QSet>
#include <QSize>
#include <QString>
#include <QVector>

#include <polyclipping/clipper.hpp>

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

class CActionBase;
class CActionComposite;
class CSVGElementShape;
class CSVGPathSeg;
class CSVGPathSegCurvetoCubic;
class CSVGElementStyle;
class CSVGRotation;
class QPainter;
class CSVGStyleRule;
class QByteArray;
class QTextCharFormat;

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
    // drawable children that are drawn (not hidden); null without any. What
    // fitting, alignment and cutting measure.
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
    // Room in the id map for this many more elements, so that a large text
    // does not rehash it again and again.
    void reserveIds(size_t count) { m_idMap.reserve(m_idMap.size() + count); }
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
    // the document's default stroke and fill; its matrix and geometry are up
    // to date.
    CSVGElementPath* createPathElement(const QPainterPath& path);
    // The same for rings: one closed sub-path each, filled even-odd, so that
    // an outline with its holes is one piece that every SVG reader shows
    // with its holes open.
    CSVGElementPath* createPathElement(const QVector<QPolygonF>& rings);
    // The same for an outline worked out beforehand (on any thread).
    CSVGElementPath* createPathElement(CSVGElementPath::Prepared outline, bool evenOdd = false);
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
    // sheet) or by a link of "#id" (getLink). The file writer counts before it
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
    // name, which means "changed since last painted". Setting it counts as an
    // edit of the drawing.
    bool isModified() const { return m_documentModified; }
    void setModified(bool modified);
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
    bool isSelected(const CSVGElement* element) const { return m_selected.contains(element); }
    CSVGElement* getFirstSelected() const { return m_selection.isEmpty() ? nullptr : m_selection.first(); }
    CSVGElement* getCurrentElement() const { return m_currentElement; }
    void selectElement(CSVGElement* element, const QColor& color);
    void unselectElement(CSVGElement* element);
    // The union of the selected shapes' transformed bounding rectangles,
    // of what is drawn of them; null for a selection with nothing drawn.
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
    // Every load refuses a text whose elements are nested deeper than the
    // reader goes (see CSVGXmlScanner): re-hung higher up, they would be
    // drawn and saved elsewhere; so is one whose entities expand too far. A
    // refused load returns false and says why in readCheck. A text with more
    // elements than the reader takes opens as far as the limit, and
    // readCheck says so.
    //
    // Replaces the drawing with the file's (its bytes decoded as
    // SvgTextCodec says). False for an empty path, a file that
    // cannot be read and one that holds no SVG drawing (see readCheck), which
    // leave an empty root of the page size. A file that ends inside the
    // drawing opens as far as it goes; readCheck says it is damaged.
    bool openFile(const std::wstring& path);
    // Replaces an empty drawing with the bytes' one, or adds it 10 units
    // below the content with the same left edge and fresh ids. No undo step.
    // False, changing nothing, for bytes that hold no SVG drawing.
    bool loadSvgData(const QByteArray& bytes);
    // What the last openFile or loadSvgData found in its input.
    const SvgInputCheck::Result& readCheck() const { return m_readCheck; }
    // Replaces the drawing with the text's; reads the page size, the origin
    // and the custom positions from the root. A refused text leaves an empty
    // root of the page size.
    bool parseSvgText(const std::wstring& text, bool ungroup, bool moveToOrigin);
    bool parseSvgText(const QString& text, bool ungroup, bool moveToOrigin);
    // How a scan of SVG text ended: with every element closed, with the text
    // ending inside the drawing, at an element nested too deep, at entities
    // that expand too far or make too many elements, or complete but for
    // elements left out at the element limit, attribute names left out
    // beyond the budget of new names (named in scanLeftOutNames) or content
    // after the root.
    enum class ScanOutcome {
        Complete,
        CutOff,
        TooDeep,
        EntityLimit,
        EntityElements,
        ElementLimit,
        NamesLeftOut,
        AfterRoot
    };
    // Builds the text's elements under the parent (see CSVGXmlScanner).
    ScanOutcome scanXml(const QString& text, CSVGElement* parent);
    // With two or more children, the root gets one g holding them all.
    void groupRootChildren();
    // Inserts the text at the caret of the text under editing, or adds the
    // elements of the SVG text (wrapped in "<svg>" when it holds none) with
    // fresh ids, selected. The recorded step, or null (also for a refused
    // text, which adds nothing).
    CActionComposite* pasteSvgText(const std::wstring& text);
    // pasteSvgText, then the selection centred on the point, in one undo
    // step.
    void pasteSvgTextAt(const std::wstring& text, const QPointF& point);
    // Gives the imported document's elements and class rules fresh names
    // from its id counter; references and class attributes follow.
    static void renameImportedIds(CSVGDocument* imported);
    // The text of SVG file bytes, up to the first NUL character, with line
    // ends as LF (see SvgTextCodec).
    static QString decodeSvgBytes(const QByteArray& bytes);

    // The interaction mode of the mouse tools: 0 select, 9 path drawing,
    // 27 move point, 28 delete feature ...
    int getEditMode() const { return m_editMode; }
    // Leaving a drawing mode finishes what it drew, or discards it when it
    // is too small (see the drawing tools). Numbers outside the mode table
    // are ignored.
    void setEditMode(int mode);
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
    // Whether the drawing differs from the one last marked saved, told by
    // the drawing's text, compared once per change.
    bool hasUnsavedChanges();
    // The drawing as it is now is the saved one.
    void markSaved();
    // No state of the drawing is saved anywhere: a copy that is the only one.
    void markUnsaved();
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
    // Stops a run of this document under way and queues a new one on its
    // thread. The run goes in short slices between events, so that the
    // window answers while the pieces of a large drawing are checked; the
    // marks change when it ends. A document destroyed meanwhile drops it.
    // Nothing without a root.
    void requestIntersectionCheck();
    // One whole run now: marks every piece that overlaps another (touching
    // boxes do not count), that lies across the page border, or whose
    // outline is two points closed back onto the first. Runs of all
    // documents exclude each other; a queued run of this one is dropped.
    void checkIntersections();
    // Marked by the last run. No lock: the check runs on this thread.
    bool isIntersected(const CSVGElement* shape) const;
    // Whether the marks predate the last change of the tree or the page.
    bool isIntersectionStale();
    // How long one slice of a queued run goes on before the event loop gets
    // a turn, in nanoseconds (0: one batch of pieces a slice); returns the
    // time before. Tests make a run take many slices, however fast the
    // machine.
    static qint64 setCheckSliceTime(qint64 ns);
    // Whether cutting may go on: no marked piece inside the page and no
    // piece (tear lines included) across the page border; otherwise a
    // warning, "Some pieces has intersected!" or which piece crosses the
    // page's edge, and false. Runs the check first when its marks are
    // stale. False without a root.
    bool checkNoIntersection();
    // How far a piece may reach past the page's edge and still lie on it,
    // in millimetres: less than one step of a plotter of 1016 units per inch,
    // so that rounding never refuses a job nor leaves a piece out.
    static constexpr double kPageEdgeTolerance = 0.025;
    // The path's box reaches past the page's edge and into the page, each by
    // more than the tolerance.
    bool crossesPageBorder(const QPainterPath& path) const;
    // The element's canvas box lies in the page, edges included, give or
    // take the tolerance.
    bool isInsidePage(CSVGElement* element) const;
    // The page rectangle on the canvas.
    CSVGRect getMappedPageRect() const;
    // The canvas boxes of the drawn pieces that lie outside the page and so
    // are not cut, in document order.
    QVector<QRectF> piecesOutsidePage();
    // A length in millimetres as the messages show it: one decimal, in the
    // interface language's numbers, and no "-0.0".
    static QString millimetreText(double value);
    // Where nested pieces may lie: on the page that is drawn and cut, so that
    // the roll, the move to its corner and the cut keep to one page; the
    // drawing's own page (the root's viewBox, else its width and height from
    // the origin) only when there is no page to cut on.
    QRectF getNestingPageRect();
    // Where the document's warnings go (title, text): the editor passes them
    // to its prompt seam. Without a hook they are logged.
    using WarningHook = std::function<void(const QString& title, const QString& text)>;
    static void setWarningHook(WarningHook hook);
    static void showWarning(const QString& title, const QString& text);
    // The refusal of a piece whose canvas box is given, across the page's
    // edge.
    static void warnPageEdge(const QRectF& piece);

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
    // its own order, with the comments, processing instructions and entity
    // declarations that the file held around its root. Otherwise only the pieces lying in the region are
    // written, from a working copy: ordered by position (lessByPosition),
    // with plot-end marks on request. Sets the root's namespace declarations
    // and "custom_positions", and brings the style sheets' text up to date
    // with their rules; id tracking is on again however the write ends.
    void writeSvgBody(std::wstring& out, const CSVGRect& region = CSVGRect(), int widthLimit = -1, double overlap = 0.0,
        int firstSection = -1, int lastSection = -1, bool plotEnd = false);
    // Declares "xmlns", "xmlns:xlink", "version" and every prefix that a tag
    // or attribute name of the tree uses ("xml" and "xmlns" excepted).
    // Returns about the length of the root's text, found on the same walk
    // (see CSVGElement::surveyForWriting); 0 without a root.
    size_t updateRootNamespaces();
    // The namespace under which the root declares a prefix that it does not
    // declare itself: the known one of the prefix, else one made for it;
    // empty for "xml" and "xmlns".
    static std::wstring prefixNamespace(const std::wstring& prefix);
    // Whether the root's declaration of the prefix is always the writer's.
    static bool isKnownPrefix(const std::wstring& prefix);
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
    // The drawable pieces as DXF polylines (millimetres, y upward, curves
    // flattened) through the safe file writer; false when the write failed.
    bool saveDxf(const QString& path);
    std::string toDxfText();

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
    // The same with the picture that the caller has decoded from it.
    bool insertImage(const std::wstring& base64, const QImage& picture);
    // printImage for every selected image element.
    void printSelectedImages(const QString& folder);
    // The element's picture, clipped to the outlines of the pieces lying
    // within it, as "<id>.png" in the folder (separators in the id become
    // "_", so the file stays in the folder). False when nothing is written.
    bool printImage(CSVGElement* element, const QString& folder);
    // Mouse tools and selection
    // The canvas hands every press, move and release over with the point in
    // document coordinates; each returns the cursor code (CursorCode) to
    // show. Points that are not finite are ignored.
    int leftButtonDown(const QPointF& point, bool extend, bool alt);
    int mouseMove(const QPointF& point, bool ctrl, bool alt);
    int leftButtonUp(const QPointF& point, bool extend);
    // While the middle button is down, moves only follow the pointer.
    int middleButtonDown(const QPointF& point);
    int middleButtonUp(const QPointF& point);
    // Escape or the right button: the left button counts as released.
    int cancelDrag();
    // Escape while a line, rectangle, circle or ellipse is being dragged
    // out: the shape goes, with its undo step.
    void cancelDrawing();
    // Arrow keys: the selection (or in mode 27 the marked nodes) moves one
    // step; the nudge offset grows by the step even without a selection.
    bool onKeyUp();
    bool onKeyDown();
    bool onKeyLeft();
    bool onKeyRight();
    // The step is scaled by the setting "general/snapped" (1 when it is
    // missing or not a positive number). One undo step; refused while the
    // drawing holds a tear line.
    void moveSelectionBy(double dx, double dy);
    // Summed arrow-key steps since the last release or cancel, for all
    // documents.
    static QPointF getNudgeOffset();
    void selectAll();
    // Null unless exactly one element is selected; then the current element
    // when asked for and there is one, else the selected one.
    CSVGElement* getSelectedElement(bool preferCurrent) const;
    static CSVGElementShape* toShape(CSVGElement* element);
    // The drawable children of the root whose canvas box holds the point and
    // that the point hits, the smallest box first.
    QList<CSVGElement*> elementsAtPoint(const QPointF& point);
    // The topmost shape hit in the tile under the point; null for none.
    CSVGElement* hitTopElementAt(double x, double y);
    // The element, or the topmost of its drawable descendants, that the
    // point hits; locked elements are passed over, not their children.
    bool hitTestElement(CSVGElement* element, double x, double y, CSVGElement*& hit);
    // The root's drawable children, last first, whose outline meets the
    // rectangle without surrounding it whole.
    std::vector<CSVGElement*> elementsInRect(const QRectF& rect);
    HighlightNode findNodeAt(const QPointF& point) const;
    // Marks the nodes in the rectangle: of the first selected shape, or in
    // mode 28 of every piece, which is then selected. The node-selection
    // area of that shape; empty in mode 28.
    QPainterPath selectInRubberBand(const CSVGRect& rect, bool extend);
    // A view position in document coordinates, truncated toward zero.
    QPoint mapFromView(const QPoint& point) const;
    // The first call opens the rotation (one undo step), calls with an
    // angle turn by it, the finishing call ends it and selects the pieces
    // again. Clearing the selection ends a rotation too.
    void rotateSelection(double angle, const QPointF& centre, bool finish);
    bool isRotating() const { return m_rotating; }
    // The current element inside a group, or else the selection, in one undo
    // step. Always true.
    bool deleteSelection();
    bool hasTextCursor() const { return m_caretIndex >= 0; }
    // Brings every modified shape of the subtree up to date: geometry,
    // matrix and tiles.
    void refreshModifiedShapes(CSVGElement* element);
    // The "transform" that turns the shape upside down about the horizontal
    // line through its canvas box centre; empty for other elements.
    std::wstring flipVerticalTransform(CSVGElement* element);
    // The point moved onto the horizontal, diagonal or vertical through the
    // anchor, whichever its direction is nearest.
    static QPointF constrainAngle(const QPointF& anchor, const QPointF& point);
    // The band from the press to the pointer; width and height signed.
    QRectF getRubberBand() const { return m_rubberBand; }
    QPointF getPressPoint() const { return m_pressPoint; }
    QPointF getLastPoint() const { return m_lastPoint; }
    QPointF getMiddlePressPoint() const { return m_middlePressPoint; }
    bool isLeftButtonDown() const { return m_leftButtonDown; }
    bool isMiddleButtonDown() const { return m_middleButtonDown; }

    // Drawing tools
    // The path of mode 9 is made by the canvas ("M p L p") and stays outside
    // the tree until finishPathDrawing; its last segment follows the pointer.
    void appendPathPoint(CSVGElement* path, const QPointF& point);
    // A point whose x is the largest double takes the rubber segment back to
    // where the last press left it.
    void updatePathDrawing(CSVGElement* path, const QPointF& point);
    bool isDrawnPathClosed(CSVGElement* path);
    // Adds the path, joined with the shapes its ends snapped to, and goes
    // back to mode 0. A path of fewer than two segments is not added.
    void finishPathDrawing(CSVGElement* path);
    // Moves the point onto an open end of a shape within the pick tolerance;
    // the piece of that shape, or null.
    CSVGElement* snapToShapeEnd(QPointF& point);
    // A text element at the point in the format's colour and font (12pt
    // when the format gives no size); null for an empty text.
    CSVGElement* insertTextElement(const QString& text, const QTextCharFormat& format, const QPointF& point);
    // n vertices of the regular polygon about the centre, the first one
    // given.
    static QList<QPointF> regularPolygonPoints(const QPointF& centre, const QPointF& first, int count);

    // Node dragging
    // Opens the undo step of a node gesture over the marked nodes (or the
    // current node); nothing while a step is open.
    void beginNodeEdit();
    // Moves the node to the canvas point in its element's attributes. Sizes
    // may be negative while the gesture runs; closing the step stores them
    // positive with the same outline.
    void dragNode(const QPointF& point, const HighlightNode& node, bool constrain);
    // The regular polygon on the first two points, on the side of the third,
    // with as many corners as points; shorter lists, or a first side of no
    // length, come back unchanged.
    static QList<QPointF> regularPolygonFromSide(const QList<QPointF>& points);

    // Tear line
    bool hasTearLine();

    // Alignment, distribution and sizing. Each moves the selected shapes in
    // canvas coordinates, as one step of the pending transform action, and
    // re-adds them to the highlights in green; below its minimum selection
    // it changes nothing.
    void alignLeft();
    void alignTop();
    void alignRight();
    void alignBottom();
    // Centre lines on that of the first selected element.
    void alignVerLine();
    void alignHorLine();
    // Equal gaps between three or more shapes; the outer ones stay and the
    // selection is left in the new order.
    void alignHorSpace();
    void alignVerSpace();
    // The first selected element's size, scaled about each shape's left-top
    // corner.
    void alignSameWidth();
    void alignSameHeight();
    void alignSameSize();
    // The pieces on the page (tear lines too) moved together so that their
    // box ends 1 unit inside the rectangle's left-top corner; they become the
    // selection.
    void alignLeftTop(const QRectF& rect);
    // The selection, with the tear lines, moved together to 1 unit inside
    // the rectangle's left-bottom corner. The move is one undo step, or part
    // of the given one.
    void alignLeftBottom(const QRectF& rect, CActionComposite* step = nullptr);
    // Sizes the selection as one box to width x height about the box's
    // centre, so that the pieces keep their places relative to each other;
    // calls until the one with finish make one undo step. An axis along
    // which the box has no extent, and a size that is the box's already,
    // keep their scale.
    void zoomSize(double width, double height, bool finish);
    // A shape leaf below the root is a tear line.

    // Structure commands. Each that changes the tree is one undo step.
    // Two or more selected pieces into a new group at the end of the root,
    // in document order; the group becomes the selection.
    void groupSelection();
    // Every selected g gives its children to its parent in its place, its
    // transform and paint folded into them.
    void ungroupSelection();
    // The group's "fill", "fill-opacity", "stroke", "stroke-opacity" and
    // "opacity" into the child where it has none, recorded in the step.
    void pushGroupPaint(CActionComposite* step, CSVGElement* group, CSVGElement* child);
    // The one selected piece last among the root's children.
    void bringToFront();
    // Locks the current element, or else every selected one, which leaves
    // the selection.
    void lockSelection();
    void unlockAll();
    // The selected pieces replaced by the union of their outlines; nothing
    // when the union is empty.
    void mergeShapes();
    // Each selected piece flipped upside down about its box's centre line.
    void mirrorBottom();
    // Each selected piece's largest leaf replaced by a path of the outer ring
    // of its offset outline, in the current drawing style; a piece whose
    // leaves have no area is offset whole.
    void offsetSelection(double delta, double arcTolerance, ClipperLib::JoinType joinType, ClipperLib::EndType endType);
    // Groups of the nesting units of the root's pieces added at its end.
    void autoGroup();
    // The root's pieces rebuilt into closed nesting units (the mode is not
    // used); the selection is emptied.
    void repairData(int mode = -1);

    // Attribute editing and paint-server fill
    // Names and values in pairs, on the current element or else every
    // selected one ("textcontent" is a text's characters); with nothing
    // selected "width" and "height" set the page. makeDefault keeps the
    // values for new elements.
    void setSelectionAttributes(
        const std::vector<std::wstring>& names, const std::vector<std::wstring>& values, bool makeDefault);
    // Adds the one paint server of the SVG text under a fresh id and fills
    // the current element, or else every selected one, with it. Text that
    // holds no paint server, or several elements, changes nothing.
    void setFillUrl(const std::wstring& svgText);
    // Outline node tools. Each change is one undo step; the new outlines
    // keep the "position_id" of what they replace and go into the parent of
    // what they replace, mapped into its coordinates.
    // Inserts the point, projected onto the first edge within the pick
    // tolerance, into the outline of the first selected shape hit.
    void insertPointOnOutline(const QPointF& point);
    // The first straight edge of the selected shapes' outlines that passes
    // within the pick tolerance of the point; a null line for none.
    QLineF nearestSegment(const QPointF& point);
    // Bends the edge from the first to the last of the three points of the
    // path through the middle one (a quadratic curve raised to a cubic).
    void movePoint(const QPainterPath& dragged);
    // Removes the marked vertices of the first selected piece's outline;
    // the rest closes into a ring.
    void deletePoint();
    // Cuts the outline open at the marked vertices; the pieces between end
    // where they leave the node-selection area. "Invalid selection!" when
    // nothing is left.
    void cutCurve();
    // Removes the shapes with marked vertices from grouped pieces.
    void deleteFeature();
    // Adds copies of the selected pieces reflected across the line through
    // the two points; the pieces stay.
    void mirrorAlongLine(double x1, double y1, double x2, double y2);

    // Piece index for the press and the rubber band
    // Every change of an element's geometry, matrix or children reports
    // here, so that the index of the root's pieces is rebuilt before its next
    // use.
    void noteGeometryChange() { ++m_geometryRevision; }
    // Counts the changes to the lists of children anywhere in the tree, and
    // announces them by treeChanged.
    void noteTreeChange();
    std::uint64_t getTreeRevision() const { return m_treeRevision; }

    // Tear lines and outline-generating tools
    // With true, outlines "Separation" units around the largest shape of
    // each selected piece (every piece without a selection), merged where
    // they meet and marked "tear_line"; with false, every tear line goes.
    // Each is one undo step when it changes anything. Taking tear lines away
    // takes the pieces that placeNewTearLines moved with them back to where
    // they stood, while they stand where it left them.
    void createTearLine(bool create);
    // The tear lines that createTearLine has just added and the pieces they
    // were made around move together to 1 unit inside the rectangle's
    // left-bottom corner, in the step that added them, and become the
    // selection. Nothing happens unless that step is the last one done.
    void placeNewTearLines(const QRectF& rect);
    // Undoes the last step and forgets it, redo and all: for a command that
    // the user turns down once it is done.
    void undoAndForget();
    // Cuts the first selected piece along the line; a line that does not
    // cross its outline changes nothing.
    void splitShape(const QPointF& start, const QPointF& end);
    // Widens the marked stretch of the first selected piece's outline onto
    // the outline grown by the width.
    void partialExpand(double width);

signals:
    void selectionChanged();
    void elementRemoved(CSVGElement* element);
    // Some list of children changed, once per turn of the event loop however
    // many did: a command that takes out ten thousand pieces changes a list
    // for each, and not every command says what it changed.
    void treeChanged();

private:
    // The page grown by the edge tolerance: what lies in it is cut.
    CSVGRect getCutRegion() const;
    // unselectElement for every selected shape, with one pass over the
    // selection instead of one per shape.
    void unselectShapes();
    CSVGElementPath* createPathElement(const std::vector<QPainterPath>& paths, bool evenOdd);
    // selectElement without the selection's signal; true when the selection
    // grew.
    bool addToSelection(CSVGElement* element, const QColor& color);
    static std::unordered_map<const CSVGElement*, CSVGElement*> previousKeptSiblings(
        const std::vector<CSVGElement*>& elements);
    // Takes the elements out of the tree as one undo step (none when there
    // are none): in drawing order, and none inside another of them.
    void removeAsOneStep(const std::vector<CSVGElement*>& doomed);
    // The same, into the step.
    void removeInto(CActionComposite* step, const std::vector<CSVGElement*>& doomed);
    // Moves the id counter past the number after the id's first "_".
    void raiseIdCounterPast(const std::wstring& id);
    std::wstring_view idKey(CSVGElement* element);
    void releaseIdKey(std::wstring_view key);
    // Reading
    // getContentBoundingRect, with hidden pieces too when drawnOnly is false.
    QRectF contentBounds(bool drawnOnly);
    ScanOutcome scanOwnedText(QString decoded);
    // What the end of a scan says of any text: refused at the depth and
    // entity limits, opened in part where something was left out.
    SvgInputCheck::Result scanCheck(ScanOutcome outcome) const;
    // After a refused text: an empty root of the page size, and false.
    bool refuseText();
    // The same when the memory ran out while reading: what was read goes,
    // so that there is room to say so.
    bool refuseForMemory();
    // Reads the bytes in place of the drawing when they hold one, else
    // leaves an empty root of the page size; either way readCheck tells.
    bool readDrawingBytes(QByteArray bytes, bool ungroup);
    // The same for a file's text: a text whose first element is not an svg
    // element (or that has none) is refused.
    bool readDrawingText(QString text, bool ungroup);
    // The root's page, origin and custom positions, then the bounds of the
    // new tree, after its text has been scanned.
    void finishParsing(bool ungroup, bool moveToOrigin);
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
    // resolved, looks its id up here. Each key is the mapped element's own id
    // (or a literal), not a copy: an element of this document leaves the map
    // before its id changes or it dies. Only the ids of elements of other
    // documents are copied, into m_foreignIds.
    // The ids that elements are given end in a running number ("path_12"):
    // hashed by it, the entries made by one load lie side by side in the
    // table, not spread over it, and a large drawing's load finds each place
    // in the cache. Not noexcept, so that the table keeps every hash and
    // never reads a key to place its entry.
    struct IdHash
    {
        std::size_t operator()(std::wstring_view id) const;
    };
    std::unordered_map<std::wstring_view, CSVGElement*, IdHash> m_idMap;
    std::unordered_set<std::wstring> m_foreignIds;
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
    // The same elements, for a look-up that does not walk the list: selecting
    // every piece of a large drawing one by one must not be quadratic.
    QSet<const CSVGElement*> m_selected;
    CSVGElement* m_currentElement = nullptr;

    bool m_documentModified = false;
    bool m_contentChanged = false;
    // Counts the edits of the drawing and the changes of its lists of
    // children.
    std::uint64_t m_changeCount = 0;

    int m_editMode = EditMode::Select;
    bool m_showPositionColor = false;
    bool m_showComment = false;
    QJsonArray m_customPositions;
    SvgInputCheck::Result m_readCheck;
    // The attribute names that the last scan left out, listed for the user.
    QString m_scanLeftOutNames;
    CSVGHighlightList m_highlights;
    HighlightNode m_currentNode;
    bool m_showNodeRecords = false;

    // Undo history
    void initHistory();
    void undoDrawingPoint();
    std::size_t savedTextHash();
    // A drag, or a polyline or polygon being drawn: the drawing changes at
    // every move.
    bool isGestureUnderWay() const;
    CActionHistory m_history;
    // The hash of the saved drawing's text; none for a drawing never saved.
    std::optional<std::size_t> m_savedHash;
    // What the last comparison with the saved drawing found, and at which
    // change count.
    std::uint64_t m_comparedAt = 0;
    bool m_comparedUnsaved = false;
    CActionComposite* m_pendingTransform = nullptr;
    int m_batchDepth = 0;
    // The user's Undo and Redo end with an empty selection: what their
    // actions would select on the way is not built at all.
    bool m_historyReplay = false;
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
    // A run where it stands: the pieces listed, outlined, ordered by left
    // edge and swept so far, and the marks found.
    struct CheckRun
    {
        std::vector<CSVGElementShape*> shapes;
        bool listed = false;
        size_t outlined = 0;
        std::vector<CheckedPiece> pieces;
        std::vector<size_t> order;
        size_t swept = 0;
        std::set<const CSVGElement*> marked;
        // An element died since the run listed the pieces: it starts over.
        bool outdated = false;
        QElapsedTimer clock;
    };
    static WarningHook& warningHook();
    static void outlinePiece(CSVGElementShape* shape, std::vector<CheckedPiece>& pieces);
    std::vector<CheckedPiece> collectPieces();
    // One whole run on these pieces; the caller holds the check's lock.
    void runCheck(std::vector<CheckedPiece> pieces);
    // Takes the run on until it ends or the time (negative: none) is up;
    // true when it ended. The caller holds the check's lock.
    bool advanceCheck(CheckRun& run, qint64 budgetNs);
    void sweepPiece(CheckRun& run, size_t at) const;
    void finishCheck(CheckRun& run);
    void queueCheckSlice();
    void runCheckSlice();
    std::unique_ptr<CheckRun> m_checkRun;
    bool m_checkSliceQueued = false;
    // By element, not by id: ids may repeat or be empty.
    std::set<const CSVGElement*> m_intersected;
    // The pieces as the last run saw them: the marks are stale when the
    // pieces differ now, whatever changed them.
    std::vector<CheckedPiece> m_checkedPieces;
    bool m_intersectionStale = true;

    // Alignment, distribution and sizing
    using CanvasChange = std::function<CSVGMatrix(const CSVGRect& box)>;
    // The selected shapes moved by the change of their canvas box, as one
    // step of the pending transform action (added to the given step).
    void moveSelectedShapes(const CanvasChange& change, CActionComposite* step = nullptr);
    bool applyCanvasChange(CSVGElement* element, const CSVGMatrix& change);
    void alignEdges(bool horizontal, bool farEdge);
    void alignCentreLines(bool horizontal);
    void distribute(bool horizontal);
    void alignSize(bool width, bool height);
    void moveSelectionTogether(const QRectF& rect, bool bottom, CActionComposite* step = nullptr);

    // Structure commands
    void ungroup(CSVGElement* group, CActionComposite* step);
    // The offset of one command, with the curve tolerance read once for it.
    struct OffsetRequest
    {
        double delta;
        double arcTolerance;
        ClipperLib::JoinType joinType;
        ClipperLib::EndType endType;
        double curveTolerance;
    };
    // One element's offset: what planOffset reads of the tree, the ring that
    // offsetRing computes from it alone, and what applyOffset changes.
    struct OffsetPlan
    {
        CSVGElementShape* source = nullptr;
        CSVGElement* parent = nullptr;
        CSVGMatrix toParent;
        QPolygonF outline;
        QPolygonF ring;
        // The new path's outline from the ring.
        CSVGElementPath::Prepared path;
    };
    bool planOffset(CSVGElement* element, const OffsetRequest& request, OffsetPlan& plan);
    static void offsetRing(OffsetPlan& plan, const OffsetRequest& request);
    void applyOffset(OffsetPlan& plan, CActionComposite* step);

    // Attribute editing and paint-server fill
    void setTargetAttribute(
        CSVGElement* target, const std::wstring& name, const std::wstring& value, CActionComposite* step);
    void storeDefaultStyle(const std::wstring& name, const std::wstring& value);

    // Writing SVG text
    void giveMissingIds();
    std::wstring customPositionsText() const;
    // With flush, the whole drawing is written in pieces (writeSvgInPieces).
    void appendSvgBody(std::wstring& out, const CSVGRect& region, int widthLimit, double overlap, int firstSection,
        int lastSection, bool plotEnd, const std::function<void(std::wstring&)>& flush = nullptr);
    // The markup that the file holds before (or after) its root.
    void appendOutsideRoot(std::wstring& out, bool before);
    void writeRegion(std::wstring& out, const CSVGRect& region, int widthLimit, double overlap, int firstSection,
        int lastSection, bool plotEnd);
    void copyRegionInto(CSVGDocument& work, const CSVGRect& region);
    void addPlotEndMarks(CSVGDocument& work);
    void keepSections(CSVGDocument& work, int widthLimit, double overlap, int firstSection, int lastSection);
    // writeElementWithClassStyle with the referenced ids already current.
    void writeClassStyleOf(CSVGElement* element, std::wstring& out);

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
    // Mouse tools and selection
    int cursorForMode() const;
    static int cursorForNode(int index);
    static bool isUsablePoint(const QPointF& point);
    // The canvas point in the element's own coordinates; false when its
    // matrix has no inverse.
    static bool toElementPoint(const CSVGElement* element, const QPointF& canvas, QPointF& local);
    // A box that holds the shape's canvas box, cheap to get.
    static QRectF outerBounds(CSVGElementShape* shape);
    static bool mayMeet(CSVGElementShape* shape, const QRectF& rect);
    static bool overlaps(const QRectF& a, const QRectF& b);
    static CSVGPathSegCurvetoCubic* asCubic(CSVGPathSeg* segment);
    // The own transform that flips the shape about the horizontal line
    // through its canvas box centre; false when its matrix has no inverse.
    static bool verticalFlip(CSVGElementShape* shape, CSVGMatrix& flipped);
    // Each number written through setAttributeNumber, notifying.
    static void setNumbers(CSVGElement* element, std::initializer_list<std::pair<const wchar_t*, double>> values);
    int selectPress(const QPointF& point, bool extend);
    void rubberBandMove(const QPointF& point);
    bool selectDrag(const QPointF& point, bool ctrl, int& code);
    void clickRelease(const QPointF& point, bool extend);
    void zoomAt(const QPointF& point);
    bool nudge(double dx, double dy);
    void translateSelection(const QPointF& delta);
    CSVGElement* selectionTarget(CSVGElement* element);
    CSVGElement* innermostHit(CSVGElement* piece, const QPointF& point);
    bool isInDrawing(const CSVGElement* element) const;
    void endRotation();
    QPointF m_pressPoint;
    QPointF m_lastPoint;
    QPointF m_middlePressPoint;
    bool m_leftButtonDown = false;
    bool m_middleButtonDown = false;
    bool m_dragStarted = false;
    bool m_clickedOnSelected = false;
    bool m_rubberBanding = false;
    bool m_rotating = false;
    QRectF m_rubberBand;

    // Drawing tools
    void drawPress(const QPointF& point, bool alt);
    void drawMove(const QPointF& point, bool ctrl, bool alt);
    CSVGElement* startDrawing(const wchar_t* tag, const QPointF& point);
    void setDrawingStyle(CSVGElement* element);
    void resizeDrawing(CSVGElement* element, const QPointF& point, bool ctrl);
    void addPolylinePoint(CSVGElement* element, const QPointF& point, bool alt);
    void movePolylinePoint(CSVGElement* element, const QPointF& point, bool constrain, bool alt);
    // Finishes the element that the current drawing made; discards it, with
    // its undo step, when it is degenerate.
    void finishDrawing();
    bool isDegenerateDrawing(CSVGElement* element);
    // Deletes the drawn element when the last undo step is the one that
    // added it, and forgets that step.
    void discardDrawing(CSVGElement* element);
    void dropTrailingPoint(CSVGElement* element);
    void snapPathEnds(CSVGElementPath* path, QList<CSVGElement*>& joined);
    void dragPathHandle(CSVGElementPath* path, const QPointF& point);
    void moveRubberSegment(CSVGElementPath* path, QPointF point);
    // The drawn element; guarded, as undo may take it out and delete it.
    QPointer<CSVGElement> m_drawnElement;

    // Node dragging
    void dragBox(CSVGElement* element, const QPointF& local, int handle);
    void dragScaledBox(CSVGElement* element, const QPointF& canvas, int handle);
    void dragVertex(CSVGElement* element, const QPointF& local, int index, bool constrain);
    void dragPathNode(CSVGElement* element, const QPointF& local, const HighlightNode& node);
    void dragNodes(const QPointF& point, bool constrain);
    // Sizes of the step's elements made positive before the step closes.
    void normalizeNodeEdit();
    static void normalizeSizes(CSVGElement* element);
    std::vector<HighlightNode> m_dragNodes;
    QVector<QPointer<CSVGElement>> m_nodeEditElements;
    // Outline node tools
    CSVGElementShape* outlineTarget(CSVGElement* element) const;
    static QPolygonF openOutline(CSVGElementShape* shape);
    static QList<int> validMarks(const CSVGElementShape* shape, int count);
    CSVGElementPath* addOutlinePath(const QPainterPath& canvasPath, CSVGElement* parent, CSVGElement* source);
    void replaceElement(CSVGElement* removed, CSVGElementPath* added);
    void replaceTarget(CSVGElement* element, CSVGElement* target, const QList<QPainterPath>& outlines);
    void deleteMarkedPoints(CSVGElement* element);
    bool cutMarkedRuns(CSVGElement* element);
    static QList<QPolygonF> cutRuns(
        const QPolygonF& outline, const std::vector<bool>& marked, bool closed, const QPainterPath& area);
    static QPointF crossingPoint(QPointF inside, QPointF outside, const QPainterPath& area);
    void dropFromSelection(CSVGElement* element);

    // Tear lines and outline-generating tools
    QList<CSVGElement*> tearLineOffsets(const QList<CSVGElement*>& pieces, int separation);
    void removeTearLines(CSVGElement* root);
    void restorePlacedPieces(CActionComposite* step, const std::vector<CSVGElement*>& lines);
    CSVGTearLinePlacement m_tearLinePlacement;
    static bool lineCrossesOutline(CSVGElementShape* shape, const QLineF& line);
    void expandMarkedRun(double width);

    // Piece index for the press and the rubber band
    // The root's drawable children whose box may meet the rectangle, in
    // child order: a superset of those that mayMeet takes.
    std::vector<CSVGElementShape*> piecesNear(const QRectF& rect);
    CSVGPieceIndex m_pieceIndex;
    const CSVGElement* m_pieceIndexRoot = nullptr;
    std::uint64_t m_geometryRevision = 0;
    std::uint64_t m_treeRevision = 0;
    bool m_treeChangeQueued = false;
    std::uint64_t m_pieceIndexRevision = 0;
};
