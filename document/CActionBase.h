#pragma once

#include <QPointer>

#include <string>

class CSVGDocument;
class CSVGElement;

// One undoable change of a document. undo and redo return a status text,
// empty on success. Deleting an action through this base destroys all of it.
//
// An action that holds an element owns it exactly while the element is out
// of the tree; destroying the action then deletes the element. An element
// still in the tree is never deleted by an action.
//
// Actions hold their elements through guarded pointers: commands that record
// nothing (automatic grouping, tear lines) may delete an element that an
// action remembers, and such an action then does nothing instead of touching
// freed memory. A recorded sibling is only looked at while it lives.
class CActionBase
{
public:
    // The type code tells the kinds apart where the history looks for them;
    // the removal, layer and group actions share code 0.
    enum Type {
        TypeDel = 0,
        TypeLayer = 0,
        TypeGroup = 0,
        TypeUnGroup = 0,
        TypeComposite = 1,
        TypeAdd = 2,
        TypeAttr = 4,
        TypeValue = 5
    };

    CActionBase(CSVGDocument* document, int type);
    virtual ~CActionBase() = default;
    CActionBase(const CActionBase&) = delete;
    CActionBase& operator=(const CActionBase&) = delete;

    virtual std::wstring undo();
    virtual std::wstring redo();
    // Records the state after the change, for the actions made before it.
    virtual void captureAfterState() { }
    // Whether the action is this one or holds it, at any depth.
    virtual bool contains(const CActionBase* action) const { return action == this; }

    int getType() const { return m_type; }
    CSVGDocument* getDocument() const { return m_document; }

protected:
    using ElementRef = QPointer<CSVGElement>;

    // Deletes an element that the action owns, unless it has gone back into
    // a tree after all (or is gone already).
    static void deleteOwned(const ElementRef& element);
    // Whether the element still lives and is now a child of the parent.
    static bool isChildOf(const CSVGElement* parent, const ElementRef& element);
    // The element hangs in the document's tree: only such elements are
    // selected.
    bool isInDocument(const CSVGElement* element) const;
    // Selects the element in green when it is in the document.
    void select(CSVGElement* element);
    void unselect(CSVGElement* element);
    // Rebuilds the highlight records, and with renumber the drawing order,
    // now or at the end of the step under way.
    void refreshAfterChange(bool renumber);
    // The common end of an undo or redo: the view redraws.
    void markContentChanged();

private:
    int m_type;
    CSVGDocument* m_document;
};
