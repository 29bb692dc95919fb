#include "CGlobalConfig.h"
#include "CSVGTreeDisposal.h"
#include "SmallStack.h"
#include "TestElements.h"
#include "TestEnvironment.h"

#include <QAbstractEventDispatcher>
#include <QPointer>
#include <QSet>
#include <QSignalSpy>
#include <QThread>
#include <QXmlStreamReader>

#include <atomic>

#include <memory>

namespace {

// The receivers of timer events on the application's thread.
class TimerWatch : public QObject
{
public:
    TimerWatch() { QCoreApplication::instance()->installEventFilter(this); }
    bool eventFilter(QObject* receiver, QEvent* event) override
    {
        if (event->type() == QEvent::Timer)
            receivers.insert(receiver);
        return false;
    }
    QSet<QObject*> receivers;
};

QString written(CSVGElement* element, int depth, const CSVGRect& region = CSVGRect())
{
    std::wstring out;
    element->writeSvg(out, depth, region);
    return QString::fromStdWString(out);
}

// Without its id the written text does not depend on the id counter.
CSVGElement* appendUnnamed(CSVGElement* parent, CSVGElement* child)
{
    child->removeAttribute(L"id");
    parent->appendChild(child, false, false);
    return child;
}

CSVGElement* appendUnnamed(CSVGElement* parent, const wchar_t* tag)
{
    return appendUnnamed(parent, parent->getDocument()->createElement(tag));
}

} // namespace

class tst_CSVGElement : public QObject
{
    Q_OBJECT
private slots:
    void idsComeFromOneCounterAndSkipTakenIds();
    void insertion_data();
    void insertion();
    void idMapNeverNamesAGoneElement();
    void copies();
    void modifiedAndTearLine();
    void layout_data();
    void layout();
    void escapedOutputIsWellFormed();
    void attributeValuesKeepEveryCharacter_data();
    void attributeValuesKeepEveryCharacter();
    void regionFiltersDirectChildren();
    void transforms();
    void deepTreeNeedsNoRecursion();
    void closedDocumentsElementsDieOnTheirOwnThread();
    void largeTreeIsFreedAndTheTimerStops();
};

void tst_CSVGElement::idsComeFromOneCounterAndSkipTakenIds()
{
    CSVGDocument document;
    std::unique_ptr<CSVGElement> path(document.createElement(L"path"));
    std::unique_ptr<CSVGElement> group(document.createElement(L"g"));
    const long long n = idNumber(path.get());
    QCOMPARE(group->getId(), idOf(L"g", n + 1));

    // Taken now, or handed out before and free again: both are skipped.
    path->setAttribute(L"id", idOf(L"rect", n + 2), false);
    group->setAttribute(L"id", idOf(L"rect", n + 3), false);
    group->setAttribute(L"id", L"other", false);
    QCOMPARE(std::unique_ptr<CSVGElement>(document.createElement(L"rect"))->getId(), idOf(L"rect", n + 4));
    // Reading an unknown name does not register it.
    QVERIFY(path->getAttribute(L"never-seen-attribute").empty());
    QCOMPARE(g_config.findAttributeId(L"never-seen-attribute"), -1);
}

// p holds a, b and c; q holds x, which holds y; n is new. A step names the
// operation, the element inserted into, the child and the reference; then
// come the children of p and of q after it.
void tst_CSVGElement::insertion_data()
{
    QTest::addColumn<QStringList>("step");
    QTest::addColumn<bool>("result");
    QTest::addColumn<QString>("children");
    const auto row = [](const char* step, bool result, const char* p, const char* q) {
        QTest::newRow(step) << QString(step).split(' ') << result << QString(p) + '|' + q;
    };
    row("append p n -", true, "a b c n", "x");
    row("append p x -", false, "a b c", "x");
    row("append a p -", false, "a b c", "x");
    row("prepend p n -", true, "n a b c", "x");
    row("adopt p x -", true, "a b c x", "");
    row("adopt p a -", true, "b c a", "x");
    row("adopt x q -", false, "a b c", "x");
    row("adopt p p -", false, "a b c", "x");
    row("after p n b", true, "a b n c", "x");
    row("after p n -", true, "a b c n", "x");
    row("after p x a", true, "a x b c", "");
    row("after p a c", true, "b c a", "x");
    row("after p b b", false, "a b c", "x");
    row("after p x n", false, "a b c", "x");
    row("before p n b", true, "a n b c", "x");
    row("before p n -", true, "n a b c", "x");
    row("before p x c", true, "a b x c", "");
    row("before p x y", false, "a b c", "x");
}

// Whatever happens, no element is lost: it ends up in exactly one place and
// the ids of its subtree still lead to it, also after a move.
void tst_CSVGElement::insertion()
{
    QFETCH(QStringList, step);
    QFETCH(bool, result);
    QFETCH(QString, children);

    CSVGDocument document;
    std::map<QString, CSVGElement*> e { { "root", appendNew(&document, L"svg") } };
    for (const QString& pair : QStringLiteral("p:root q:root a:p b:p c:p x:q y:x").split(' '))
        e[pair.left(1)] = appendNew(e[pair.mid(2)], pair.left(1).toStdWString().c_str());
    std::unique_ptr<CSVGElement> fresh(document.createElement(L"n"));
    e["n"] = fresh.get();

    CSVGElement* into = e[step[1]];
    CSVGElement* child = e[step[2]];
    CSVGElement* ref = step[3] == "-" ? nullptr : e[step[3]];
    const bool done = step[0] == "append" ? into->appendChild(child, false, false)
        : step[0] == "prepend"            ? into->prependChild(child, false, false)
        : step[0] == "adopt"              ? into->adoptChild(child, false)
        : step[0] == "after"              ? into->insertChildAfter(child, ref, false)
                                          : into->insertChildBefore(child, ref, false, false);
    QCOMPARE(done, result);
    QCOMPARE(childTags(e["p"]) + '|' + childTags(e["q"]), children);
    QVERIFY(!done || child->getParent() == into);
    if (fresh->getParent())
        fresh.release();
    for (const auto& entry : e)
        QCOMPARE(document.getElementById(entry.second->getId()), entry.second);
}

void tst_CSVGElement::idMapNeverNamesAGoneElement()
{
    CSVGDocument document;
    CSVGElement* root = appendNew(&document, L"svg");
    CSVGElement* group = appendNew(root, L"g");
    const std::wstring leafId = appendNew(appendNew(group, L"g"), L"path")->getId();
    std::unique_ptr<CSVGElement> stranger(document.createElement(L"rect"));
    QVERIFY(!root->removeChild(stranger.get(), true));
    QVERIFY(!root->deleteChild(stranger.get()));

    // Removal and reinsertion are checked with the undo actions.
    QVERIFY(root->deleteChild(group));
    QCOMPARE(document.getElementById(leafId), nullptr);

    // Detached elements keep their ids until they are deleted.
    group = appendNew(root, L"g");
    const std::wstring detachedId = appendNew(group, L"path")->getId();
    QVERIFY(root->detachChild(group));
    QVERIFY(document.getElementById(detachedId));
    delete group;
    QCOMPARE(document.getElementById(detachedId), nullptr);

    // A move into another document leaves nothing behind in the first.
    CSVGDocument other;
    CSVGElement* moved = appendNew(root, L"g");
    QVERIFY(root->detachChild(moved));
    QVERIFY(appendNew(&other, L"svg")->appendChild(moved, true, false));
    QCOMPARE(document.getElementById(moved->getId()), nullptr);
    QCOMPARE(other.getElementById(moved->getId()), moved);

    // A rename moves the entry; an entry another element took over stays.
    CSVGElement* first = appendNew(root, L"rect");
    CSVGElement* second = appendNew(root, L"rect");
    const std::wstring old = first->getId();
    first->setAttribute(L"id", L"one", false);
    QCOMPARE(document.getElementById(old), nullptr);
    second->setAttribute(L"id", L"one", false);
    document.unregisterElementId(first);
    first->setAttribute(L"id", L"two", false);
    QCOMPARE(document.getElementById(L"one"), second);
    QVERIFY(second->removeAttribute(L"id") && first->clearAttributes());
    QCOMPARE(document.getElementById(L"one"), nullptr);
    QCOMPARE(document.getElementById(L"two"), nullptr);
}

void tst_CSVGElement::copies()
{
    CSVGDocument document;
    CSVGElement* group = appendNew(appendNew(&document, L"svg"), L"g");
    group->setAttribute(L"fill", L"red", false);
    group->setText(L"text", false);
    CSVGElement* child = appendNew(group, L"rect");
    document.setModified(false);

    // clone: an empty id, and the id the copy was made with is not left in
    // the map.
    std::unique_ptr<CSVGElement> probe(document.createElement(L"g"));
    std::unique_ptr<CSVGElement> copy(group->clone(true));
    QVERIFY(copy->getId().empty() && copy->getChild(0)->getId().empty());
    QCOMPARE(document.getElementById(idOf(L"g", idNumber(probe.get()) + 1)), nullptr);
    QCOMPARE(copy->getAttribute(L"fill") + copy->getText(), std::wstring(L"redtext"));
    QCOMPARE(document.getElementById(child->getId()), child);
    // No part of the drawing until it is added, the copy leaves it unchanged.
    QVERIFY(!document.isModified());
    QCOMPARE(std::unique_ptr<CSVGElement>(group->clone(false))->getChildCount(), 0);

    // cloneKeepId: the ids lead to the copies, and nowhere once they are gone.
    document.setModified(false);
    copy.reset(group->cloneKeepId(true));
    QVERIFY(!document.isModified());
    QCOMPARE(document.getElementById(group->getId()), copy.get());
    QCOMPARE(document.getElementById(child->getId()), copy->getChild(0));
    const std::wstring childId = child->getId();
    copy.reset();
    QCOMPARE(document.getElementById(childId), nullptr);
}

// Only a notified change marks the document. A group is a tear line when it
// or a child of it is marked "true", exactly so.
void tst_CSVGElement::modifiedAndTearLine()
{
    CSVGDocument document;
    CSVGElement* outer = appendNew(&document, L"g");
    CSVGElement* inner = appendNew(outer, L"g");
    CSVGElement* path = appendNew(inner, L"path");
    document.setModified(false);
    path->setAttribute(L"x", L"1", false);
    QVERIFY(!document.isModified());
    path->setAttribute(L"x", L"2", true);
    QVERIFY(document.isModified());

    outer->setAttribute(L"tear_line", L"True", false);
    QVERIFY(!outer->isTearLine());
    inner->setAttribute(L"tear_line", L"true", false);
    QVERIFY(outer->isTearLine() && inner->isTearLine() && !path->isTearLine());
}

void tst_CSVGElement::layout_data()
{
    QTest::addColumn<QString>("tag");
    QTest::addColumn<QString>("child");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("depth");
    QTest::addColumn<QString>("expected");
    const auto row = [](const char* tag, const char* child, const char* text, int depth, const QString& expected) {
        QTest::newRow(tag) << QString(tag) << QString(child) << QString(text) << depth << expected;
    };
    const QString a = QStringLiteral(" fill=\"red\" x=\"1\" d=\"M\" wt=\"1\"");
    row("rect", "", "", 2, "  <rect" + a + "/>\n");
    row("g", "path", "", 1, " <g" + a + ">  <path/>\n </g>\n");
    // Nothing is written after an element's own text that was not read.
    row("title", "", "T", 1, " <title" + a + ">T</title>\n");
    // A text has no font size of its own until it is given one. Inside it
    // nothing is written that a reader would take for characters.
    row("text", "tspan", "", 1, " <text" + a + "><tspan/></text>\n");
    row("tspan", "textcontent", "", 3, "<tspan" + a + "><textcontent/></tspan>\n");
    row("textcontent", "", "ab", 2, "<textcontent" + a + ">ab</textcontent>\n");
}

// Attributes come in the order of the attribute table, names met at run
// time last; empty values are left out.
void tst_CSVGElement::layout()
{
    QFETCH(QString, tag);
    QFETCH(QString, child);
    QFETCH(QString, text);
    QFETCH(int, depth);
    QFETCH(QString, expected);
    CSVGDocument document;
    CSVGElement* element = appendUnnamed(&document, tag.toStdWString().c_str());
    element->setAttribute(L"wt", L"1", false);
    element->setAttribute(L"d", L"M", false);
    element->setAttribute(L"x", L"0", false);
    element->setAttribute(L"fill", L"red", false);
    element->setAttribute(L"stroke", L"", false);
    // The cached start tag must follow later changes.
    element->buildStartTag();
    element->setAttribute(L"x", L"1", false);
    if (!text.isEmpty())
        element->setText(text.toStdWString(), false);
    if (!child.isEmpty())
        appendUnnamed(element, child.toStdWString().c_str());
    QCOMPARE(written(element, depth), expected);
}

// Values are kept narrow while every character fits a byte, wide otherwise.
void tst_CSVGElement::attributeValuesKeepEveryCharacter_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("written");
    QTest::newRow("empty") << ""
                           << "<g";
    QTest::newRow("one byte a character") << QString::fromStdWString(L"\u00ff\u00e9 <1&2>")
                                          << QString::fromStdWString(L"<g a=\"\u00ff\u00e9 &lt;1&amp;2&gt;\"");
    QTest::newRow("one byte, control characters")
        << QString::fromStdWString(L"\t\r\x01\n\"") << QString::fromStdWString(L"<g a=\"\t&#13;\uFFFD\n&quot;\"");
    QTest::newRow("wider characters") << QString::fromStdWString(L"\u4e2d\U0001F600 \"")
                                      << QString::fromStdWString(L"<g a=\"\u4e2d\U0001F600 &quot;\"");
    // XML has no way to write it: U+FFFD stands in its place.
    QTest::newRow("zero character") << QString::fromStdWString(std::wstring(L"\0a", 2))
                                    << QString::fromStdWString(L"<g a=\"\uFFFDa\"");
}

void tst_CSVGElement::attributeValuesKeepEveryCharacter()
{
    QFETCH(QString, value);
    QFETCH(QString, written);
    CSVGDocument document;
    CSVGElement* element = appendUnnamed(&document, L"g");
    element->setAttribute(L"a", value.toStdWString(), false);
    QCOMPARE(QString::fromStdWString(element->getAttribute(L"a")), value);
    QCOMPARE(QString::fromStdWString(element->buildStartTag()), written);
    QCOMPARE(element->getAttributeNames().count(L"a"), size_t(1));
}

// Markup characters in values and text come out as entities, and the tree
// reads back with a standard XML reader.
void tst_CSVGElement::escapedOutputIsWellFormed()
{
    CSVGDocument document;
    CSVGElement* root = appendUnnamed(&document, L"svg");
    root->setAttribute(L"xmlns:xlink", L"http://www.w3.org/1999/xlink", false);
    CSVGElement* label = appendUnnamed(appendUnnamed(root, L"g"), L"text");
    label->setAttribute(L"font-family", L"\"A&B\" <Sans>", false);
    appendUnnamed(appendUnnamed(label, L"tspan"), L"textcontent")->setText(L"x < y && \"z\" >", false);
    appendUnnamed(root, L"use")->setAttribute(L"xlink:href", L"#a&b", false);
    QCOMPARE(written(label, 0),
        QStringLiteral("<text font-family=\"&quot;A&amp;B&quot; &lt;Sans&gt;\">"
                       "<tspan><textcontent>x &lt; y &amp;&amp; &quot;z&quot; &gt;</textcontent></tspan></text>\n"));
    QXmlStreamReader reader(written(root, 0));
    while (!reader.atEnd())
        reader.readNext();
    QVERIFY2(!reader.hasError(), qPrintable(reader.errorString()));
}

// The region chooses among the direct children only.
void tst_CSVGElement::regionFiltersDirectChildren()
{
    CSVGDocument document;
    CSVGElement* group = appendUnnamed(&document, L"g");
    CSVGElement* inside = appendUnnamed(group, new TestShape(&document, L"rect", 77, true));
    appendUnnamed(group, new TestShape(&document, L"circle", 20, false));
    appendUnnamed(inside, new TestShape(&document, L"path", 72, false));
    appendUnnamed(group, L"style");
    QCOMPARE(written(group, 0, CSVGRect(0, 0, 100, 100)), QStringLiteral("<g> <rect>  <path/>\n </rect>\n</g>\n"));
    QCOMPARE(written(group, 0), QStringLiteral("<g> <rect>  <path/>\n </rect>\n <circle/>\n <style/>\n</g>\n"));
}

void tst_CSVGElement::transforms()
{
    CSVGDocument document;
    CSVGElement* parent = appendNew(&document, L"g");
    CSVGElement* element = appendNew(parent, L"g");
    CSVGElement* child = appendNew(element, L"rect");
    parent->setAttribute(L"transform", L"translate(10,0)", false);
    element->setAttribute(L"transform", L"translate(10,20) scale(2.5)", false);
    child->setAttribute(L"transform", L"rotate(30)", false);
    parent->updateMatrix(nullptr, false);

    // Children always notify, the element only when asked.
    QSignalSpy elementChanged(element, &CSVGElement::changed);
    QSignalSpy childChanged(child, &CSVGElement::changed);
    element->updateMatrix(nullptr, false);
    QCOMPARE(element->getMatrix().toString(), std::wstring(L"matrix(2.5,0,0,2.5,20,20)"));
    QCOMPARE(elementChanged.count() * 10 + childChanged.count(), 1);
    // A source takes the parent's place.
    child->updateMatrix(parent, false);
    QCOMPARE(child->getMatrix().toString(), child->getCombinedMatrix(parent->getMatrix()).toString());

    const std::wstring rotation = child->getTransformMatrix().toString();
    parent->normalizeTransform();
    QCOMPARE(element->getAttribute(L"transform"), std::wstring(L"matrix(2.5,0,0,2.5,10,20)"));
    QCOMPARE(child->getAttribute(L"transform"), rotation);
    QVERIFY(appendNew(parent, L"rect")->getAttribute(L"transform").empty());
}

// A file may nest groups as deep as it likes. Building such a tree by
// appending, and taking it out and deleting it, must neither walk up the
// tree at every level nor recurse once per level: the thread doing it has a
// small stack.
void tst_CSVGElement::deepTreeNeedsNoRecursion()
{
    CSVGDocument document;
    const int children = document.getChildCount();
    CSVGElement* top = appendNew(&document, L"g");
    QVERIFY(runOnSmallStack(256 * 1024, [&document, top] {
        CSVGElement* parent = top;
        for (int level = 0; level < 100000; ++level)
            parent = appendNew(parent, L"g");
        document.deleteChild(top);
    }));
    QCOMPARE(document.getChildCount(), children);
}

// Elements are QObjects that the canvas may still guard when their document
// goes: they die later on the application's thread, knowing no document
// meanwhile, and at once on a worker thread, which has no turn to wait for.
void tst_CSVGElement::closedDocumentsElementsDieOnTheirOwnThread()
{
    QThread* diedOn = nullptr;
    const auto documentWithWatchedRect = [&diedOn](QPointer<CSVGElement>& guard) {
        auto* document = new CSVGDocument;
        guard = appendNew(document->getOwnerSvg(), L"rect");
        QObject::connect(guard.data(), &QObject::destroyed, [&diedOn] { diedOn = QThread::currentThread(); });
        return document;
    };
    QPointer<CSVGElement> guard;
    delete documentWithWatchedRect(guard);
    QVERIFY(guard);
    QCOMPARE(guard->getDocument(), nullptr);
    QTRY_VERIFY(!guard);
    QCOMPARE(diedOn, QThread::currentThread());

    // QThread's wait is no hand-over that ThreadSanitizer sees; this is.
    std::atomic<bool> done { false };
    const std::unique_ptr<QThread> worker(QThread::create([&] {
        QPointer<CSVGElement> workerGuard;
        delete documentWithWatchedRect(workerGuard);
        done.store(true, std::memory_order_release);
    }));
    worker->start();
    QVERIFY(worker->wait() && done.load(std::memory_order_acquire));
    QCOMPARE(diedOn, worker.get());
}

// A closed drawing of 50,000 elements goes in slices between events until
// none is left; then nothing wakes the thread for it any more.
void tst_CSVGElement::largeTreeIsFreedAndTheTimerStops()
{
    auto* document = new CSVGDocument;
    CSVGElement* root = document->getOwnerSvg();
    for (int i = 0; i < 50000; ++i)
        appendNew(root, L"rect");
    const QPointer<CSVGElement> first = root->getChild(0);
    const QPointer<CSVGElement> last = root->getChild(root->getChildCount() - 1);
    TimerWatch watch;
    delete document;
    QTRY_VERIFY_WITH_TIMEOUT(CSVGTreeDisposal::isIdle(), 30000);
    QVERIFY(!first && !last);
    QVERIFY(!watch.receivers.isEmpty());
    for (QObject* receiver : qAsConst(watch.receivers))
        QVERIFY(QAbstractEventDispatcher::instance()->registeredTimers(receiver).isEmpty());
}

ZOCUT_TEST_MAIN(tst_CSVGElement)
#include "tst_CSVGElement.moc"
