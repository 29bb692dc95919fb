#include "CActionAdd.h"
#include "CActionComposite.h"
#include "CActionDel.h"
#include "CSVGDocument.h"
#include "TestElements.h"
#include "TestEnvironment.h"

#include <memory>

namespace {

// A root holding a, b and c; b holds a path holding a desc.
struct Drawing
{
    Drawing()
    {
        root = appendNew(&document, L"svg");
        for (const wchar_t* tag : { L"a", L"b", L"c" })
            appendNew(root, tag);
        leaf = appendNew(appendNew(child(L"b"), L"path"), L"desc");
    }
    CSVGElement* child(const std::wstring& tag) const
    {
        for (int i = 0; i < root->getChildCount(); ++i) {
            if (root->getChild(i)->getTagName() == tag)
                return root->getChild(i);
        }
        return nullptr;
    }
    // The way the editing commands remove an element.
    CActionDel* remove(const std::wstring& tag)
    {
        CSVGElement* element = child(tag);
        auto* action = new CActionDel(&document, element);
        element->removeFromParent(true);
        return action;
    }

    CSVGDocument document;
    CSVGElement* root = nullptr;
    CSVGElement* leaf = nullptr;
};

} // namespace

class tst_CActionBase : public QObject
{
    Q_OBJECT
private slots:
    void deleteUndoRedo_data();
    void deleteUndoRedo();
    void addUndoRedo();
    void compositeUndoesInReverse();
    void ownershipFollowsTheTree();
};

void tst_CActionBase::deleteUndoRedo_data()
{
    QTest::addColumn<QString>("tag");
    QTest::addColumn<QString>("without");
    QTest::newRow("first") << QString("a") << QString("b c");
    QTest::newRow("middle with subtree") << QString("b") << QString("a c");
    QTest::newRow("last") << QString("c") << QString("a b");
}

void tst_CActionBase::deleteUndoRedo()
{
    QFETCH(QString, tag);
    QFETCH(QString, without);
    Drawing drawing;
    CSVGElement* element = drawing.child(tag.toStdWString());
    const std::wstring leafId = drawing.leaf->getId();
    const bool holdsLeaf = tag == QLatin1String("b");
    std::unique_ptr<CActionDel> action(drawing.remove(tag.toStdWString()));
    QCOMPARE(childTags(drawing.root), without);
    QCOMPARE(drawing.document.getElementById(element->getId()), nullptr);
    QCOMPARE(drawing.document.getElementById(leafId), holdsLeaf ? nullptr : drawing.leaf);

    QVERIFY(action->undo().empty());
    QCOMPARE(childTags(drawing.root), QStringLiteral("a b c"));
    QCOMPARE(drawing.document.getElementById(element->getId()), element);
    QCOMPARE(drawing.document.getElementById(leafId), drawing.leaf);
    QCOMPARE(drawing.document.getSelection(), QVector<CSVGElement*> { element });
    QVERIFY(drawing.document.isContentChanged());

    QVERIFY(action->redo().empty());
    QCOMPARE(childTags(drawing.root), without);
    QVERIFY(drawing.document.getSelection().isEmpty());
    QCOMPARE(drawing.document.getElementById(leafId), holdsLeaf ? nullptr : drawing.leaf);
}

void tst_CActionBase::addUndoRedo()
{
    Drawing drawing;
    CSVGElement* added = appendNew(drawing.child(L"b"), L"n");
    CSVGElement* inner = appendNew(added, L"m");
    std::unique_ptr<CActionAdd> action(new CActionAdd(&drawing.document, drawing.root, added));
    drawing.document.selectElement(added, Qt::green);

    QVERIFY(action->undo().empty());
    QCOMPARE(added->getParent(), nullptr);
    QVERIFY(drawing.document.getSelection().isEmpty());
    QCOMPARE(drawing.document.getElementById(inner->getId()), nullptr);

    // Redo appends to the recorded parent, once.
    QVERIFY(action->redo().empty());
    QVERIFY(action->redo().empty());
    QCOMPARE(childTags(drawing.root), QStringLiteral("a b c n"));
    QCOMPARE(drawing.document.getElementById(inner->getId()), inner);
    QCOMPARE(drawing.document.getSelection(), QVector<CSVGElement*> { added });

    CActionAdd empty(&drawing.document, drawing.root, nullptr);
    QVERIFY(empty.undo().empty() && empty.redo().empty());
}

// Each removal records the siblings of its moment, so only the reverse order
// puts everything back in place.
void tst_CActionBase::compositeUndoesInReverse()
{
    Drawing drawing;
    CSVGElement* extra = appendNew(drawing.root, L"d");
    std::unique_ptr<CActionComposite> step(new CActionComposite(&drawing.document));
    step->addAction(drawing.remove(L"b"));
    step->addAction(drawing.remove(L"c"));
    step->addAction(new CActionAdd(&drawing.document, drawing.root, extra));
    step->addAction(nullptr);
    QCOMPARE(step->getActions().size(), size_t(3));
    QCOMPARE(childTags(drawing.root), QStringLiteral("a d"));

    QVERIFY(step->undo().empty());
    QCOMPARE(childTags(drawing.root), QStringLiteral("a b c"));
    QVERIFY(step->redo().empty());
    QCOMPARE(childTags(drawing.root), QStringLiteral("a d"));
    // Undone once more, the step owns the added element and deletes it.
    QVERIFY(step->undo().empty());
}

void tst_CActionBase::ownershipFollowsTheTree()
{
    Drawing drawing;
    CSVGElement* a = drawing.child(L"a");
    CSVGElement* c = drawing.child(L"c");
    std::unique_ptr<CActionDel> undone(drawing.remove(L"a"));
    undone->undo();
    undone.reset();
    QCOMPARE(drawing.child(L"a"), a);

    // Never taken out: nothing to own.
    delete new CActionDel(&drawing.document, c);
    QCOMPARE(drawing.child(L"c"), c);

    // A sibling that has gone since does not lose the element.
    std::unique_ptr<CActionDel> late(drawing.remove(L"c"));
    QVERIFY(drawing.root->deleteChild(drawing.child(L"b")));
    late->undo();
    QCOMPARE(childTags(drawing.root), QStringLiteral("a c"));
}

ZOCUT_TEST_MAIN(tst_CActionBase)
#include "tst_CActionBase.moc"
