#pragma once

#include "CSVGAttributeMap.h"
#include "CSVGMatrix.h"
#include "CSVGRect.h"

#include <QObject>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

class AttributeId;
class CSVGDocument;
class QGraphicsItem;

// One node of an SVG document tree: an SVG element, a comment, a CDATA
// section, the doctype, and the document itself. It owns its children, keeps
// its attributes by attribute id (ascending id is the order in which they are
// written) and carries an id, made unique in its document when the element
// is created, under which the document finds it.
//
// Invariants kept by every operation below:
// - an element has at most one parent, and no element is its own ancestor;
// - the document's id map names only live elements of that document: an
//   element leaves the map when it leaves the tree through removeChild, when
//   its id changes, when it moves to another document and when it is
//   destroyed;
// - an insertion that fails leaves the child where it was.
//
// Elements belong to the thread of their document and hold no locks.
class CSVGElement : public QObject
{
    Q_OBJECT
public:
    // Makes the id from the tag name and a process-wide counter and registers
    // it with the document; the tag "document" gets no id.
    CSVGElement(CSVGDocument* document, const std::wstring& tagName, std::uint16_t type);
    // Deletes the subtree; its ids leave the document's map.
    ~CSVGElement() override;

    // Copies made through the document's element factory, so that they are
    // of this element's class. clone gives the copy an empty id, which the
    // document's numbering fills; cloneKeepId moves the ids over to the copies.
    // Null without a document.
    virtual CSVGElement* clone(bool deep);
    virtual CSVGElement* cloneKeepId(bool deep);
    virtual void clearNodeSelection() { }
    // Stores the value (also an empty one). Nothing is stored once the
    // attribute-name table is full and the name is new.
    virtual void setAttribute(const std::wstring& name, const std::wstring& value, bool notify);
    // Empty when absent; reading never registers a new name.
    virtual std::wstring getAttribute(const std::wstring& name) const;
    // The same for a name asked for often, without looking the name up.
    virtual std::wstring getAttribute(const AttributeId& name) const;
    virtual bool removeAttribute(const std::wstring& name);
    virtual bool clearAttributes();
    virtual std::wstring getText() const { return m_text; }
    virtual void setText(const std::wstring& text, bool notify);
    // The nearest svg element among this element and its ancestors.
    virtual CSVGElement* getOwnerSvg();
    // Appends the element and its subtree as SVG text. With a non-empty
    // region only the children that lie in it are written (see
    // isWithinRegion). Always true.
    virtual bool writeSvg(std::wstring& out, int depth, const CSVGRect& region);
    // The whole subtree as writeSvg writes it, handing out to flush after
    // each child of this element: flush may write the text away and empty
    // it, so that a large drawing's text is never held whole.
    bool writeSvgInPieces(std::wstring& out, const std::function<void(std::wstring&)>& flush);
    // Gathers the tag and attribute names of the subtree (a root declares
    // the namespaces of their prefixes) and returns about the length of its
    // text as writeSvg writes it, rather more than less: room taken at once
    // spares a large drawing's text the copies of growing. One walk for
    // both, as a large drawing is slow to walk.
    size_t surveyForWriting(std::set<std::wstring>& names) const;
    // For the nodes that hold their markup whole (comments, CDATA sections,
    // the doctype): appends it as XML allows it where the node stands, with
    // no tag around it and nothing escaped, and returns true. Elements
    // return false and are written as elements.
    virtual bool writeContent(std::wstring& out) const;
    // Appends the text when it is one whole construct from the opening to
    // the first closing, as the reader cuts it: anything else (character
    // data that a broken file gave such a node) would read back otherwise,
    // and is left out. True when the text has that opening. Characters that
    // XML does not allow become U+FFFD.
    bool appendMarkup(std::wstring& out, const wchar_t* opening, const wchar_t* closing) const;
    // Whether writeSvg writes the element at all: paint servers are left out
    // when nothing references them.
    virtual bool isWrittenOut() const { return true; }
    virtual bool isShape() const { return false; }
    virtual bool isGroup() const { return false; }
    virtual bool isStyleable() const { return false; }
    virtual std::set<std::wstring> getAttributeNames() const;
    // Accumulated matrix: the source's (or the parent's) matrix, then the own
    // "transform". Children follow, and they always notify.
    virtual void updateMatrix(CSVGElement* source, bool notify);
    // Rewrites every "transform" of the subtree as one "matrix(...)".
    virtual void normalizeTransform();
    virtual bool isTearLine() const;
    // Drawable classes return a new canvas item; the caller owns it.
    virtual QGraphicsItem* createGraphicsItem() { return nullptr; }
    virtual void notifyChanged();
    // Called by the reader when it reaches the element's end tag.
    virtual void parseContent() { }
    // Whether a child is written when its parent writes a region: drawable
    // classes test their transformed bounding rectangle. Plain elements lie in
    // no region.
    virtual bool isWithinRegion(const CSVGRect& region);

    std::uint16_t getType() const { return m_type; }
    std::wstring getTagName() const { return *m_tagName; }
    CSVGDocument* getDocument() const { return m_document; }
    CSVGElement* getParent() const { return m_parent; }
    int getChildCount() const { return static_cast<int>(m_children.size()); }
    // Null when the index, taken as unsigned, is not below the count.
    CSVGElement* getChild(int index) const;
    CSVGElement* getPreviousSibling() const;
    CSVGElement* getNextSibling() const;
    const std::wstring& getId() const { return m_id; }
    // What the element links to: its SVG 2 "href", or its "xlink:href" when
    // it has no "href" (SVG 2 lets "href" win where both stand). Each name
    // is kept and written as it was read.
    std::wstring getLink() const;
    // The name under which the element keeps its link: "href" when that is
    // what getLink reads, else "xlink:href".
    std::wstring getLinkName() const;
    // "xlink:href" or "href".
    static bool isLinkAttribute(const std::wstring& name);
    // 0.0 for an absent or empty attribute.
    double getAttributeNumber(const std::wstring& name) const;
    void setAttributeNumber(const std::wstring& name, double value, bool notify);
    static bool isStyleProperty(const std::wstring& name);

    // Insertions. Each fails (false, nothing changed) for a null child, for
    // this element or one of its ancestors (a cycle), and for a reference
    // that is not a child of this element. appendChild and prependChild also
    // refuse a child that still has a parent; the others take it from its old
    // parent first, and such a moved subtree keeps its ids registered.
    // registerIds registers the inserted subtree's ids with the document;
    // notify marks the document modified.
    bool appendChild(CSVGElement* child, bool registerIds, bool notify);
    bool prependChild(CSVGElement* child, bool registerIds, bool notify);
    bool adoptChild(CSVGElement* child, bool notify);
    // After ref; at the end when ref is null. Always marks the document.
    bool insertChildAfter(CSVGElement* child, CSVGElement* ref, bool registerIds);
    // Before ref; at the front when ref is null.
    bool insertChildBefore(CSVGElement* child, CSVGElement* ref, bool registerIds, bool notify);

    // Takes the child out and unregisters the ids of its whole subtree; the
    // caller owns it afterwards. Marks this element modified (not its other
    // children). False when it is not a child.
    bool removeChild(CSVGElement* child, bool notify);
    // removeChild for many children in one pass over the list, so that taking
    // out every piece of a large drawing is not quadratic. False, and nothing
    // changed, unless every one is a child.
    bool removeChildren(const std::vector<CSVGElement*>& children, bool notify);
    // Takes the child out but keeps its ids registered, for a move that
    // puts it back into the same document.
    bool detachChild(CSVGElement* child);
    void removeFromParent(bool notify);
    // Puts the children into the given order; false, and nothing changed,
    // unless the list holds exactly the children.
    bool setChildOrder(const std::vector<CSVGElement*>& children);
    // Removes and deletes a child; false, and nothing deleted, for an
    // element that is not a child.
    bool deleteChild(CSVGElement* child);
    void deleteChildren();
    // Registers the ids and style elements of the subtree with the document
    // and gives every descendant this element's document.
    void registerSubtree();
    void collectDescendants(std::vector<CSVGElement*>& out, bool includeSelf);
    // Deletes up to limit elements of the list, which have no parent, with
    // their subtrees. Without recursion: the depth of a tree read from a file
    // must not decide the depth of the call stack. A deleted element's
    // children take its place in the list, so what is left is still a list of
    // whole subtrees.
    static void deleteElements(std::vector<CSVGElement*>& pending, size_t limit);

    // "Changed since last painted": true sets the flag on the whole subtree,
    // false clears it on this element only.
    bool isModified() const { return m_modified; }
    void setModified(bool modified);
    // Marks this element and every ancestor for a geometry rebuild.
    void setGeometryDirty();
    bool isGeometryDirty() const { return m_geometryDirty; }
    bool getCheckFlag() const { return m_checkFlag; }
    bool isLocked() const { return m_locked; }
    void setLocked(bool locked) { m_locked = locked; }
    int getOrderNumber() const { return m_orderNumber; }
    void setOrderNumber(int number) { m_orderNumber = number; }

    CSVGMatrix getMatrix() const { return m_matrix; }
    // The own "transform"; identity when there is none.
    CSVGMatrix getTransformMatrix() const;
    // The outer matrix, then the own transform.
    CSVGMatrix getCombinedMatrix(const CSVGMatrix& outer) const;
    // Sets the own "transform" to the matrix; an identity takes the attribute
    // away, as a piece moved there and back is the piece as it was.
    void setTransform(const CSVGMatrix& matrix, bool notify);
    // Rewrites the own "transform" (notify) so that the accumulated matrix
    // becomes the given one, the parent's part kept out; false, and nothing
    // changed, when the parent's matrix cannot be inverted.
    bool setCanvasMatrix(const CSVGMatrix& matrix);

    // "<" with the tag name and the attributes, without the closing bracket.
    // Made at every write rather than kept: kept, the tags of a large drawing
    // would take as much room again as its text. Empty values are left out
    // unless the element keeps them.
    std::wstring buildStartTag() const;
    void appendStartTag(std::wstring& out) const;
    // Set by the reader on an element that has an attribute with an empty
    // value in the file: its empty values are written too, as it had them.
    // Elsewhere an empty value stands for an attribute that was taken away.
    bool keepsEmptyValues() const { return m_keepsEmptyValues; }
    void setKeepsEmptyValues(bool keeps) { m_keepsEmptyValues = keeps; }
    static void writeIndent(std::wstring& out, int depth);
    // The element's own text, escaped, readable back as it is.
    static void appendCharacterData(std::wstring& out, const std::wstring& text);

signals:
    void changed();

protected:
    // For classes that keep attributes parsed in fields of their own: takes
    // the value of an attribute of theirs and returns true. setAttribute calls
    // it for every value it stores (and marks the geometry dirty for such an
    // attribute when it notifies), clone for every attribute it copies.
    virtual bool readAttributeField(const std::wstring& name, const std::wstring& value);
    // The stored value of the attribute with that id; empty when absent.
    std::wstring attributeValue(int id) const;
    // setAttribute once the name's id is known (0 or more).
    void storeAttribute(int id, const std::wstring& name, const std::wstring& value, bool notify);
    // Stores a value already in its stored form, quietly, for an attribute
    // other than the id whose field the caller sets itself.
    void storeAttributeText(int id, CSVGAttributeText value) { m_attributes.set(id, std::move(value)); }
    // Room at once for the attributes of these ids (-1 for none) that the
    // element does not have yet.
    void reserveAttributes(const std::vector<int>& ids);

    // For the constructors of classes that stay out of the intersection check.
    void setCheckFlag(bool flag) { m_checkFlag = flag; }
    void clearGeometryDirty() { m_geometryDirty = false; }
    void setMatrix(const CSVGMatrix& matrix) { m_matrix = matrix; }
    // The document object points at itself, and lets go before it dies.
    void setDocumentPointer(CSVGDocument* document) { m_document = document; }
    // For the document's destructor: every element below this one is handed
    // to the tree disposal without unregistering from the document, which
    // goes with them; none of them knows the document afterwards.
    void deleteTreeQuietly();

private:
    bool writeElement(
        std::wstring& out, int depth, const CSVGRect& region, const std::function<void(std::wstring&)>* flush);
    static int idAttributeId();
    void makeInitialId();
    // Moves the element's map entry from its current id to the new one.
    void changeId(const std::wstring& id);
    bool canTake(const CSVGElement* child) const;
    bool contains(const CSVGElement* child) const;
    size_t indexOf(const CSVGElement* child) const;
    void insertAt(CSVGElement* child, size_t position);
    static bool takeFromParent(CSVGElement* child);
    void takeOut(CSVGElement* child);
    void unregisterSubtree();
    void markDocumentModified();
    // Some element's list of children changed: the canvas makes and drops its
    // items after such changes only.
    void noteChildrenChange();
    template <typename Fill, typename CopyChild> CSVGElement* copySubtree(bool deep, Fill fill, CopyChild copyChild);
    bool isInsideText() const;

    std::uint16_t m_type;
    // The element classes' tag names are shared by all their elements; any
    // other tag is the element's own.
    const std::wstring* m_tagName;
    std::unique_ptr<const std::wstring> m_ownTagName;
    bool m_checkFlag = true;
    bool m_keepsEmptyValues = false;
    CSVGDocument* m_document;
    CSVGElement* m_parent = nullptr;
    std::vector<CSVGElement*> m_children;
    std::wstring m_text;
    CSVGAttributeMap m_attributes;
    int m_orderNumber = 0;
    CSVGMatrix m_matrix;
    bool m_modified = true;
    bool m_geometryDirty = true;
    // The id under which the element is registered; equals the "id" attribute.
    std::wstring m_id;
    bool m_locked = false;
};
