#include "CActionAdd.h"
#include "CActionAttr.h"
#include "CActionComposite.h"
#include "CActionDel.h"
#include "CActionGroup.h"
#include "CActionLayer.h"
#include "CActionUnGroup.h"
#include "CActionValue.h"
#include "CSVGDocument.h"
#include "CSVGElementPolyline.h"
#include "SvgCodes.h"
#include "TestElements.h"
#include "TestEnvironment.h"

#include <QPointer>
#include <QRandomGenerator>

#include <cstring>

namespace {

// The recorded commands as the editing commands make them.
enum class Command {
    Add,
    AddInTheMiddle,
    AddFirst,
    Delete,
    Attribute,
    Value,
    BringToFront,
    Group,
    Ungroup,
    UngroupWithDefinitions,
    UngroupScaledToZero,
    Merge,
    OpenGesture
};

// A root holding the pieces a, b, c and a group g (translated, holding one
// path turned by 30 degrees and, for some rows, a gradient in a defs).
struct Fixture
{
    explicit Fixture(const QString& groupTransform = "translate(10,0)", bool withDefinitions = false)
    {
        for (const char* id : { "a", "b", "c" })
            piece(drawing.root, id, 10 * (id[0] - 'a'));
        group = appendShape(drawing.root, "g", "id=g|transform=" + groupTransform);
        piece(group, "inner", 50)->setAttribute(L"transform", L"rotate(30)", false);
        if (withDefinitions) {
            CSVGElement* definitions = appendShape<CSVGElement>(group, "defs", "id=defs");
            appendShape<CSVGElement>(definitions, "linearGradient", "id=shade");
            group->getChild(0)->setAttribute(L"fill", L"url(#shade)", false);
        }
        drawing.root->updateMatrix(nullptr, false);
        remember(drawing.root);
    }
    CSVGElementShape* piece(CSVGElement* parent, const char* id, double x)
    {
        return appendShape(parent, "path", QString("id=%1|").arg(id) + squareData(x, 0, 5));
    }
    CSVGElement* byId(const char* id) { return document().getElementById(std::wstring(id, id + strlen(id))); }
    CSVGDocument& document() { return drawing.document; }
    QString text() { return QString::fromStdWString(document().toSvgText()); }
    // The id map names exactly the elements in the tree, of those ever made.
    bool idsFollowTree()
    {
        for (const QPointer<CSVGElement>& element : everything) {
            if (!element)
                continue;
            bool inTree = false;
            for (const CSVGElement* up = element; up; up = up->getParent())
                inTree = inTree || up == &document();
            if ((document().getElementById(element->getId()) == element) != inTree)
                return false;
        }
        return true;
    }
    void remember(CSVGElement* element)
    {
        std::vector<CSVGElement*> subtree;
        element->collectDescendants(subtree, true);
        everything.insert(everything.end(), subtree.begin(), subtree.end());
    }

    TestDrawing drawing;
    CSVGElement* group = nullptr;
    std::vector<QPointer<CSVGElement>> everything;
};

// The ungroup command: the children go where the group stood, shapes with the
// group's transform folded in; the group leaves the tree.
CActionComposite* ungroup(CSVGDocument& document, CSVGElement* group)
{
    auto* step = new CActionComposite(&document);
    step->addAction(new CActionUnGroup(&document, group));
    CSVGElement* parent = group->getParent();
    while (group->getChildCount() > 0) {
        CSVGElement* child = group->getChild(group->getChildCount() - 1);
        parent->insertChildAfter(child, group, false);
        if (child->isShape()) {
            CSVGMatrix matrix = group->getTransformMatrix();
            matrix.multiply(child->getTransformMatrix());
            child->setAttribute(L"transform", matrix.toString(), true);
            child->updateMatrix(nullptr, true);
        }
    }
    group->removeFromParent(true);
    return step;
}

// The group command: a new group at the end of the root takes the pieces.
CActionGroup* group(Fixture& fixture, const std::vector<CSVGElement*>& pieces)
{
    CSVGElement* made = appendNew(fixture.drawing.root, L"g");
    fixture.remember(made);
    for (CSVGElement* piece : pieces)
        made->adoptChild(piece, true);
    return new CActionGroup(&fixture.document(), made);
}

CActionBase* run(Command command, Fixture& fixture)
{
    CSVGDocument& document = fixture.document();
    CSVGElement* root = fixture.drawing.root;
    switch (command) {
    case Command::Add: {
        CSVGElement* added = fixture.piece(root, "added", 70);
        fixture.remember(added);
        return new CActionAdd(&document, root, added);
    }
    case Command::AddInTheMiddle: {
        CSVGElement* added = fixture.piece(root, "added", 70);
        fixture.remember(added);
        root->insertChildBefore(added, fixture.byId("b"), true, true);
        return new CActionAdd(&document, root, added);
    }
    case Command::AddFirst: {
        CSVGElement* added = fixture.piece(root, "added", 70);
        fixture.remember(added);
        root->insertChildBefore(added, fixture.byId("a"), true, true);
        return new CActionAdd(&document, root, added);
    }
    case Command::Delete: {
        auto* action = new CActionDel(&document, fixture.byId("b"));
        fixture.byId("b")->removeFromParent(true);
        return action;
    }
    case Command::Attribute: {
        auto* action = new CActionAttr(&document, fixture.byId("a"), L"transform");
        fixture.byId("a")->setAttribute(L"transform", L"translate(3,4)", true);
        action->captureAfterState();
        return action;
    }
    case Command::Value: {
        auto* action = new CActionValue(&document, fixture.byId("c"));
        fixture.byId("c")->setText(L"note", true);
        action->captureAfterState();
        return action;
    }
    case Command::BringToFront: {
        auto* action = new CActionLayer(&document, fixture.byId("a"));
        root->adoptChild(fixture.byId("a"), true);
        action->captureAfterState();
        return action;
    }
    case Command::Group:
        // Already last, so the undone group, whose children go last, reads
        // as before.
        return group(fixture, { fixture.byId("c"), fixture.group });
    case Command::Ungroup:
    case Command::UngroupWithDefinitions:
    case Command::UngroupScaledToZero:
        return ungroup(document, fixture.group);
    case Command::Merge: {
        auto* step = new CActionComposite(&document);
        CSVGElement* merged = fixture.piece(root, "merged", 0);
        fixture.remember(merged);
        step->addAction(new CActionAdd(&document, root, merged));
        for (const char* id : { "a", "b" }) {
            step->addAction(new CActionDel(&document, fixture.byId(id)));
            fixture.byId(id)->removeFromParent(true);
        }
        return step;
    }
    case Command::OpenGesture:
        document.selectElement(fixture.byId("b"), Qt::green);
        document.beginTransformAction();
        fixture.byId("b")->setAttribute(L"transform", L"matrix(1,0,0,1,7,0)", true);
        return nullptr;
    }
    return nullptr;
}

} // namespace

Q_DECLARE_METATYPE(Command)

class tst_CActionHistory : public QObject
{
    Q_OBJECT
private slots:
    void undoRedoRestoreText_data();
    void undoRedoRestoreText();
    void historyCursor();
    void pendingStepNeverDangles();
    void unsavedState_data();
    void unsavedState();
    void undoWhileDrawing_data();
    void undoWhileDrawing();
    void manyRemovalsKeepTheOrder_data();
    void manyRemovalsKeepTheOrder();
    void randomStepsStaySafe();
};

void tst_CActionHistory::undoRedoRestoreText_data()
{
    QTest::addColumn<Command>("command");
    QTest::addColumn<QString>("groupTransform");
    QTest::addColumn<bool>("withDefinitions");
    const QString moved = "translate(10,0)";
    QTest::newRow("add") << Command::Add << moved << false;
    QTest::newRow("add in the middle") << Command::AddInTheMiddle << moved << false;
    QTest::newRow("add before the first child") << Command::AddFirst << moved << false;
    QTest::newRow("delete the middle one") << Command::Delete << moved << false;
    QTest::newRow("attribute") << Command::Attribute << moved << false;
    QTest::newRow("text") << Command::Value << moved << false;
    QTest::newRow("bring to front") << Command::BringToFront << moved << false;
    QTest::newRow("group") << Command::Group << moved << false;
    QTest::newRow("ungroup the last child") << Command::Ungroup << moved << false;
    QTest::newRow("ungroup moves definitions too") << Command::UngroupWithDefinitions << moved << true;
    QTest::newRow("ungroup a group scaled to 0") << Command::UngroupScaledToZero << QString("scale(0)") << false;
    QTest::newRow("merge: one step") << Command::Merge << moved << false;
    QTest::newRow("undo closes an open gesture") << Command::OpenGesture << moved << false;
}

void tst_CActionHistory::undoRedoRestoreText()
{
    QFETCH(Command, command);
    QFETCH(QString, groupTransform);
    QFETCH(bool, withDefinitions);
    Fixture fixture(groupTransform, withDefinitions);
    CSVGDocument& document = fixture.document();
    const QString before = fixture.text();
    document.getHistory().push(run(command, fixture));
    const QString after = fixture.text();
    QVERIFY(after != before);
    QVERIFY(fixture.idsFollowTree());

    for (int round = 0; round < 2; ++round) {
        document.undo();
        QCOMPARE(fixture.text(), before);
        QVERIFY(fixture.idsFollowTree());
        document.redo();
        QCOMPARE(fixture.text(), after);
        QVERIFY(fixture.idsFollowTree());
    }
    QVERIFY(document.getSelection().isEmpty());
    QCOMPARE(document.getPendingTransform(), nullptr);
}

// Pushing after undo drops the redo tail with the elements it owns; the
// history's own boundaries do nothing.
void tst_CActionHistory::historyCursor()
{
    Fixture fixture;
    CSVGDocument& document = fixture.document();
    CActionHistory& history = document.getHistory();
    QVERIFY(history.undo().empty() && history.redo().empty());
    history.push(run(Command::Add, fixture));
    history.push(run(Command::Delete, fixture));
    QPointer<CSVGElement> added = fixture.byId("added");
    history.undo();
    history.undo();
    QCOMPARE(history.getCursor(), size_t(0));
    history.push(run(Command::Attribute, fixture));
    QCOMPARE(history.size(), size_t(1));
    QVERIFY(added.isNull());
    QVERIFY(history.redo().empty());
    QCOMPARE(history.getCursor(), size_t(1));

    history.dropLast();
    QCOMPARE(history.size(), size_t(0));
    QCOMPARE(fixture.byId("a")->getAttribute(L"transform"), std::wstring(L"translate(3,4)"));
}

// However the step that is open goes (cleared history, dropped tail, or with
// the composite that holds it), the document forgets it.
void tst_CActionHistory::pendingStepNeverDangles()
{
    Fixture fixture;
    CSVGDocument& document = fixture.document();
    CActionHistory& history = document.getHistory();
    document.selectElement(fixture.byId("a"), Qt::green);

    document.beginTransformAction();
    history.clear();
    QCOMPARE(document.getPendingTransform(), nullptr);

    auto* outer = new CActionComposite(&document);
    history.push(outer);
    document.beginTransformAction(outer);
    QVERIFY(outer->contains(document.getPendingTransform()));
    document.beginTransformAction();
    QCOMPARE(outer->getActions().size(), size_t(1));
    QCOMPARE(history.size(), size_t(1));
    history.undo();
    history.push(new CActionComposite(&document));
    QCOMPARE(document.getPendingTransform(), nullptr);

    document.beginTransformAction();
    history.dropLast();
    QCOMPARE(document.getPendingTransform(), nullptr);
    document.clearSelection();
}

void tst_CActionHistory::unsavedState_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<bool>("unsaved");
    QTest::addColumn<bool>("atSavedStep");
    QTest::addColumn<int>("steps");
    QTest::newRow("two steps, saved, one more, history cleared") << "step step save step clear" << true << true << 0;
    QTest::newRow("never saved, a child added beside the history") << "child" << true << true << 0;
    QTest::newRow("saved and asked, an attribute set beside the history") << "save ask attribute" << true << true << 0;
    QTest::newRow("saved and asked, a child added beside the history") << "save ask child" << true << true << 0;
    QTest::newRow("a first gesture that changes nothing") << "save gesture" << false << true << 0;
    QTest::newRow("a step there and one back to the saved piece") << "save step back" << false << false << 2;
}

// Whether the drawing differs from the saved one, after steps, saves and
// edits beside the history; the history's own saved point beside it.
void tst_CActionHistory::unsavedState()
{
    QFETCH(QString, script);
    QFETCH(bool, unsaved);
    QFETCH(bool, atSavedStep);
    QFETCH(int, steps);
    Fixture fixture;
    CSVGDocument& document = fixture.document();
    CSVGElement* a = fixture.byId("a");
    int moves = 0;
    const auto move = [&](const std::wstring& transform) {
        auto* action = new CActionAttr(&document, a, L"transform");
        a->setAttribute(L"transform", transform, true);
        action->captureAfterState();
        document.getHistory().push(action);
    };
    for (const QString& word : script.split(' ')) {
        if (word == "step")
            move(QString("translate(%1,0)").arg(++moves).toStdWString());
        else if (word == "back")
            move(std::wstring());
        else if (word == "save")
            document.markSaved();
        else if (word == "clear")
            document.getHistory().clear();
        else if (word == "ask")
            document.hasUnsavedChanges();
        else if (word == "attribute")
            fixture.byId("b")->setAttribute(L"fill", L"red", true);
        else if (word == "child")
            fixture.piece(fixture.drawing.root, "beside", 80);
        else if (word == "gesture") {
            document.selectElement(a, Qt::green);
            document.beginTransformAction();
            document.endTransformAction();
            document.clearSelection();
        }
    }
    QCOMPARE(document.hasUnsavedChanges(), unsaved);
    QCOMPARE(document.getHistory().isAtSaved(), atSavedStep);
    QCOMPARE(int(document.getHistory().size()), steps);
}

void tst_CActionHistory::undoWhileDrawing_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("tag");
    QTest::addColumn<QString>("attribute");
    QTest::addColumn<QString>("drawn");
    QTest::addColumn<QString>("left");
    QTest::addColumn<int>("steps");
    QTest::newRow("polyline") << int(EditMode::PolylineDrawing) << "polyline"
                              << "points"
                              << "0 0 10 0 10 10"
                              << "0 0 10 0" << 1;
    // The pen's path is the canvas's own until finished; a path that was
    // selected when the pen was chosen is not being drawn and keeps its
    // segments: Undo is the history's.
    QTest::newRow("path selected under the pen") << int(EditMode::Path) << "path"
                                                 << "d"
                                                 << "M0 0 L10 0 L10 10"
                                                 << "M0 0 L10 0 L10 10" << 0;
}

// The last point goes, the drawing mode ends; the history is not touched.
void tst_CActionHistory::undoWhileDrawing()
{
    QFETCH(int, mode);
    QFETCH(QString, tag);
    QFETCH(QString, attribute);
    QFETCH(QString, drawn);
    QFETCH(QString, left);
    QFETCH(int, steps);
    TestDrawing drawing;
    CSVGElement* shape = appendShape(drawing.root, tag, attribute + "=" + drawn);
    drawing.document.getHistory().push(new CActionAdd(&drawing.document, drawing.root, shape));
    drawing.document.selectElement(shape, Qt::green);
    drawing.document.setEditMode(mode);
    drawing.document.undo();
    QCOMPARE(QString::fromStdWString(shape->getAttribute(attribute.toStdWString())), left);
    QCOMPARE(drawing.document.getEditMode(), int(EditMode::Select));
    QCOMPARE(drawing.document.getHistory().getCursor(), size_t(steps));
    QVERIFY(drawing.document.getSelection().isEmpty());
}

void tst_CActionHistory::manyRemovalsKeepTheOrder_data()
{
    QTest::addColumn<bool>("lastFirst");
    QTest::newRow("a selection deleted") << false;
    QTest::newRow("removed one by one, last first") << true;
}

// Removals of one step go back and out together: each piece returns between
// the same siblings, whatever the order they were taken out in.
void tst_CActionHistory::manyRemovalsKeepTheOrder()
{
    QFETCH(bool, lastFirst);
    TestDrawing drawing;
    CSVGDocument& document = drawing.document;
    std::vector<CSVGElement*> doomed;
    for (int i = 0; i < 30; ++i) {
        CSVGElement* piece = appendShape(drawing.root, "path", QString("id=p%1|").arg(i) + squareData(10 * i, 0, 5));
        if (i % 3 != 1)
            doomed.push_back(piece);
    }
    const QString before = QString::fromStdWString(document.toSvgText());
    if (lastFirst) {
        auto* step = new CActionComposite(&document);
        for (auto piece = doomed.rbegin(); piece != doomed.rend(); ++piece) {
            step->addAction(new CActionDel(&document, *piece));
            (*piece)->removeFromParent(true);
        }
        document.getHistory().push(step);
    } else {
        for (CSVGElement* piece : doomed)
            document.selectElement(piece, Qt::green);
        document.deleteSelection();
    }
    const QString after = QString::fromStdWString(document.toSvgText());
    QCOMPARE(drawing.root->getChildCount(), 10);
    for (int round = 0; round < 2; ++round) {
        document.undo();
        QCOMPARE(QString::fromStdWString(document.toSvgText()), before);
        document.redo();
        QCOMPARE(QString::fromStdWString(document.toSvgText()), after);
    }
}

// Recorded and unrecorded commands (as automatic grouping and tear lines
// make them) mixed with undo and redo: no freed element is touched, nothing
// leaks, the id map follows the tree.
void tst_CActionHistory::randomStepsStaySafe()
{
    QRandomGenerator random(16);
    Fixture fixture;
    CSVGDocument& document = fixture.document();
    CSVGElement* root = fixture.drawing.root;
    const auto anyPiece = [&]() { return root->getChild(random.bounded(root->getChildCount())); };
    for (int step = 0; step < 600; ++step) {
        const int choice = random.bounded(11);
        if (choice < 6 && root->getChildCount() < 3)
            continue;
        CSVGElement* piece = root->getChildCount() > 0 ? anyPiece() : nullptr;
        switch (choice) {
        case 0: {
            CSVGElement* added = fixture.piece(root, qPrintable(QString("n%1").arg(step)), step);
            fixture.remember(added);
            document.getHistory().push(new CActionAdd(&document, root, added));
            break;
        }
        case 1:
            document.getHistory().push(new CActionDel(&document, piece));
            piece->removeFromParent(true);
            break;
        case 2:
            document.getHistory().push(
                group(fixture, { root->getChild(0), root->getChild(root->getChildCount() - 1) }));
            break;
        case 3:
            if (piece->getType() == SvgType::G)
                document.getHistory().push(ungroup(document, piece));
            break;
        case 4: {
            auto* action = new CActionLayer(&document, piece);
            root->adoptChild(piece, true);
            action->captureAfterState();
            document.getHistory().push(action);
            break;
        }
        case 5:
            root->deleteChild(piece);
            break;
        case 6:
            if (piece) {
                CSVGElement* holder = appendNew(root, L"g");
                fixture.remember(holder);
                holder->adoptChild(piece, true);
            }
            break;
        case 7:
        case 8:
            document.undo();
            break;
        default:
            document.redo();
            break;
        }
        QVERIFY2(fixture.idsFollowTree(), qPrintable(QString::number(step)));
    }
}

ZOCUT_TEST_MAIN(tst_CActionHistory)
#include "tst_CActionHistory.moc"
