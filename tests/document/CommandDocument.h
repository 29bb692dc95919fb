#pragma once

// A document read from SVG text for the tests of the editing commands: pieces
// are selected by id, the written text is compared, and a command's step is
// undone and redone.

#include "CSVGDocument.h"

#include <QStringList>
#include <QtTest>

#include <functional>

struct CommandDocument
{
    // The body inside a 400 x 400 root with the root's extra attributes.
    explicit CommandDocument(const QString& body, const QString& rootAttributes = QString())
    {
        const QString svg = QStringLiteral("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"400\" height=\"400\" "
                                           "viewBox=\"0 0 400 400\" %1>%2</svg>")
                                .arg(rootAttributes, body);
        document.parseSvgText(svg.toStdWString(), false, false);
    }
    CSVGElement* byId(const QString& id) const { return document.getElementById(id.toStdWString()); }
    void select(const QStringList& ids)
    {
        document.clearSelection();
        for (const QString& id : ids)
            document.selectElement(byId(id), Qt::green);
    }
    QString text() { return QString::fromStdWString(document.toSvgText()); }
    int steps() { return int(document.getHistory().getCursor()); }

    CSVGDocument document;
};

// Runs the command as one step: undo gives back the text before it, redo the
// text after it.
inline void checkOneUndoStep(CommandDocument& fixture, const std::function<void()>& command)
{
    const QString before = fixture.text();
    const int steps = fixture.steps();
    command();
    const QString after = fixture.text();
    QVERIFY2(after != before, "the command changed nothing");
    QCOMPARE(fixture.steps(), steps + 1);
    fixture.document.undo();
    QCOMPARE(fixture.text(), before);
    fixture.document.redo();
    QCOMPARE(fixture.text(), after);
}
