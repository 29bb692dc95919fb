#include "BenchCompare.h"
#include "BenchMain.h"
#include "CSVGDocument.h"

#include <QCoreApplication>
#include <QDomDocument>
#include <QStandardPaths>
#include <QtTest>

#include <memory>

namespace {
// A drawing of 10,000 pieces in 100 groups, or one group of 10,000.
CSVGElement* buildTree(CSVGDocument& document, int groups, int pieces)
{
    CSVGElement* root = document.getOwnerSvg();
    for (int g = 0; g < groups; ++g) {
        CSVGElement* group = document.createElement(L"g");
        root->appendChild(group, true, false);
        for (int i = 0; i < pieces; ++i) {
            CSVGElement* path = document.createElement(L"path");
            path->setAttribute(L"d", L"M0 0 L10 0 L10 10 Z", false);
            group->appendChild(path, true, false);
        }
    }
    return root;
}
// The same drawing in Qt's DOM, the peer of every measurement.
QDomElement buildDom(QDomDocument& document, int groups, int pieces)
{
    QDomElement root = document.createElement(QStringLiteral("svg"));
    document.appendChild(root);
    for (int g = 0; g < groups; ++g) {
        QDomElement group = document.createElement(QStringLiteral("g"));
        root.appendChild(group);
        for (int i = 0; i < pieces; ++i) {
            QDomElement path = document.createElement(QStringLiteral("path"));
            path.setAttribute(QStringLiteral("d"), QStringLiteral("M0 0 L10 0 L10 10 Z"));
            group.appendChild(path);
        }
    }
    return root;
}
} // namespace

// Building, copying and writing a large drawing, each against Qt's DOM doing
// the same; the wide and the flat tree of the same size must cost alike.
class bench_elementTree : public QObject
{
    Q_OBJECT
private slots:
    void build();
    void clone_data();
    void clone();
    void cloneKeepId_data();
    void cloneKeepId();
    void write();
};

void bench_elementTree::build()
{
    compareInterleaved(
        "building 100 groups of 100", 7,
        [] {
            CSVGDocument document;
            buildTree(document, 100, 100);
        },
        "QDomDocument",
        [] {
            QDomDocument document;
            buildDom(document, 100, 100);
        });
}

void bench_elementTree::clone_data()
{
    QTest::addColumn<int>("groups");
    QTest::newRow("100 groups of 100") << 100;
    QTest::newRow("1 group of 10000") << 1;
}

void bench_elementTree::clone()
{
    QFETCH(int, groups);
    CSVGDocument document;
    CSVGElement* root = buildTree(document, groups, 10000 / groups);
    QDomDocument dom;
    const QDomElement domRoot = buildDom(dom, groups, 10000 / groups);
    compareInterleaved(
        QString("copying %1 groups").arg(groups), 7, [&] { std::unique_ptr<CSVGElement> copy(root->clone(true)); },
        "QDomNode::cloneNode", [&] { domRoot.cloneNode(true); });
}

void bench_elementTree::cloneKeepId_data()
{
    clone_data();
}

void bench_elementTree::cloneKeepId()
{
    QFETCH(int, groups);
    CSVGDocument document;
    CSVGElement* root = buildTree(document, groups, 10000 / groups);
    QDomDocument dom;
    const QDomElement domRoot = buildDom(dom, groups, 10000 / groups);
    compareInterleaved(
        QString("copying %1 groups with their ids").arg(groups), 7,
        [&] { std::unique_ptr<CSVGElement> copy(root->cloneKeepId(true)); }, "QDomNode::cloneNode",
        [&] { domRoot.cloneNode(true); });
}

void bench_elementTree::write()
{
    CSVGDocument document;
    CSVGElement* root = buildTree(document, 100, 100);
    QDomDocument dom;
    buildDom(dom, 100, 100);
    std::wstring text;
    compareInterleaved(
        "writing 100 groups of 100", 7,
        [&] {
            text.clear();
            root->writeSvg(text, 0, CSVGRect());
        },
        "QDomDocument::toString", [&] { dom.toString(); });
    QVERIFY(text.size() > 10000 * 20);
}

ZOCUT_BENCH_MAIN(bench_elementTree)

#include "bench_elementTree.moc"
