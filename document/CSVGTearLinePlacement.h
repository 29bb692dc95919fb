#pragma once

#include <QPointer>
#include <QVector>

#include <string>
#include <utility>
#include <vector>

class CActionBase;
class CActionComposite;
class CSVGElement;

// Where the pieces stood before the tear lines made around them took them
// to the roll's corner, so that taking those lines away puts the pieces back
// exactly where they were. Undo and redo move the same elements in and out
// of the drawing, so a record stays as long as its lines live; it no longer
// counts for a piece that has moved since.
class CSVGTearLinePlacement
{
public:
    // A piece's "transform" before and after the move to the corner.
    struct Move
    {
        QPointer<CSVGElement> piece;
        std::wstring before;
        std::wstring after;
    };

    // The step that just added tear lines, the lines and the pieces they
    // were made around.
    void added(CActionComposite* step, const QList<CSVGElement*>& lines, const QList<CSVGElement*>& pieces);
    // That step, until the history deletes it (forget) or the lines are
    // placed; null otherwise.
    CActionComposite* addedStep() const { return m_step; }
    // The pieces of that step that still live.
    QVector<CSVGElement*> addedPieces() const;
    // The lines of that step were moved with their pieces.
    void placed(std::vector<Move> moves);
    // The history is about to delete the action.
    void forget(const CActionBase* action);
    // For the tear lines about to go: each piece that one of their moves
    // took and that stands where the move left it, with the "transform" it
    // had before; the latest placement is undone first. A placement counts
    // only when all of its lines go.
    std::vector<std::pair<CSVGElement*, std::wstring>> restores(const std::vector<CSVGElement*>& leaving) const;
    void clear();

private:
    struct Record
    {
        QVector<QPointer<CSVGElement>> lines;
        std::vector<Move> moves;
    };

    CActionComposite* m_step = nullptr;
    QVector<QPointer<CSVGElement>> m_lines;
    QVector<QPointer<CSVGElement>> m_pieces;
    std::vector<Record> m_records;
};
