#pragma once

#include <string>

class CSVGDocument;
class CSVGElement;

// One undoable change of a document. undo and redo return a status text,
// empty on success. Deleting an action through this base destroys all of it.
//
// An action that holds an element owns it exactly while the element is out
// of the tree; destroying the action then deletes the element. An element
// still in the tree is never deleted by an action.
class CActionBase
{
public:
    // The type code tells the kinds apart where the history looks for them.
    enum Type { TypeDel = 0, TypeComposite = 1, TypeAdd = 2, TypeAttr = 4, TypeValue = 5 };

    CActionBase(CSVGDocument* document, int type);
    virtual ~CActionBase() = default;
    CActionBase(const CActionBase&) = delete;
    CActionBase& operator=(const CActionBase&) = delete;

    virtual std::wstring undo();
    virtual std::wstring redo();
    // Records the state after the change, for the actions made before it.
    virtual void captureAfterState() { }

    int getType() const { return m_type; }
    CSVGDocument* getDocument() const { return m_document; }

protected:
    // Deletes an element that the action owns, unless it has gone back into
    // a tree after all.
    static void deleteOwned(CSVGElement* element);
    // The common end of an undo or redo: the view redraws.
    void markContentChanged();

private:
    int m_type;
    CSVGDocument* m_document;
};
