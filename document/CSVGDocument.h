#pragma once

#include "CSVGElement.h"
#include "CSVGHighlightList.h"
#include "SvgCodes.h"

#include <QColor>
#include <QJsonArray>
#include <QRectF>
#include <QVector>

#include <cstdint>
#include <set>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

class CSVGElementPath;
class CSVGElementStyle;
class CSVGStyleRule;
class QPainterPath;

// One open drawing. The document is itself the top element of its tree (tag
// "document", no id); its first svg child is the root of the drawing. It
// makes every element (createElement), keeps the map from ids to elements,
// the style elements and the selection.
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
    // tag + "_" + the id counter, moved on past every id used before.
    std::wstring makeUniqueId(const std::wstring& tagName);
    // Numbers the elements below the root in document order and gives every
    // element without an id a new one.
    void renumberDrawingOrder();

    // Whether the id was referenced, at the last updateReferencedIds, by a
    // paint ("url(#id)" in "fill", "stroke", "style" or a class rule) or by an
    // "xlink:href" of "#id". The file writer counts before it writes.
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

    // The spatial index of drawable elements is not kept yet, nor are the
    // highlight records built from the elements; these are their entry
    // points.
    void removeFromTiles(CSVGElement* element);
    void rebuildHighlights();

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
    bool isShowNodeRecords() const { return m_showNodeRecords; }
    void setShowNodeRecords(bool show) { m_showNodeRecords = show; }

    // For an element that is destroyed or moves to another document: nothing
    // of this document keeps pointing at it afterwards.
    void forgetElement(CSVGElement* element, const std::wstring& id);

signals:
    void selectionChanged();
    void elementRemoved(CSVGElement* element);

private:
    static std::wstring pathData(const QPainterPath& path);
    // Moves the id counter past the number after the id's first "_".
    void raiseIdCounterPast(const std::wstring& id);
    static void addUrlReferences(const std::wstring& text, std::unordered_set<std::wstring>& ids);

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
    std::wstring m_defaultStroke = L"#000000";
    std::wstring m_defaultStrokeWidth = L"1";
    std::wstring m_defaultStrokeDashArray;

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
};
