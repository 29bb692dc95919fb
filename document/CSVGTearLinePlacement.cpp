#include "CSVGTearLinePlacement.h"

#include "CActionComposite.h"
#include "CSVGElement.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>

namespace {
QVector<QPointer<CSVGElement>> guarded(const QList<CSVGElement*>& elements)
{
    QVector<QPointer<CSVGElement>> result;
    for (CSVGElement* element : elements)
        result.append(element);
    return result;
}
} // namespace

void CSVGTearLinePlacement::added(
    CActionComposite* step, const QList<CSVGElement*>& lines, const QList<CSVGElement*>& pieces)
{
    m_step = step;
    m_lines = guarded(lines);
    m_pieces = guarded(pieces);
}

QVector<CSVGElement*> CSVGTearLinePlacement::addedPieces() const
{
    QVector<CSVGElement*> pieces;
    for (const QPointer<CSVGElement>& piece : m_pieces) {
        if (piece)
            pieces.append(piece);
    }
    return pieces;
}

// Records whose lines are all deleted can never count again.
void CSVGTearLinePlacement::placed(std::vector<Move> moves)
{
    m_records.erase(std::remove_if(m_records.begin(), m_records.end(),
                        [](const Record& record) {
                            return std::none_of(record.lines.begin(), record.lines.end(),
                                [](const QPointer<CSVGElement>& line) { return !line.isNull(); });
                        }),
        m_records.end());
    m_records.push_back(Record { m_lines, std::move(moves) });
    m_step = nullptr;
    m_lines.clear();
    m_pieces.clear();
}

void CSVGTearLinePlacement::forget(const CActionBase* action)
{
    if (m_step && action->contains(m_step)) {
        m_step = nullptr;
        m_lines.clear();
        m_pieces.clear();
    }
}

std::vector<std::pair<CSVGElement*, std::wstring>> CSVGTearLinePlacement::restores(
    const std::vector<CSVGElement*>& leaving) const
{
    const std::unordered_set<const CSVGElement*> going(leaving.begin(), leaving.end());
    std::vector<std::pair<CSVGElement*, std::wstring>> result;
    std::unordered_map<const CSVGElement*, size_t> at;
    for (auto record = m_records.rbegin(); record != m_records.rend(); ++record) {
        const bool allGo = !record->lines.isEmpty()
            && std::all_of(record->lines.begin(), record->lines.end(),
                [&going](const QPointer<CSVGElement>& line) { return line && going.count(line.data()); });
        if (!allGo)
            continue;
        for (const Move& move : record->moves) {
            if (!move.piece)
                continue;
            const auto known = at.find(move.piece.data());
            const std::wstring& now
                = known == at.end() ? move.piece->getAttribute(L"transform") : result[known->second].second;
            if (now != move.after)
                continue;
            if (known == at.end()) {
                at[move.piece.data()] = result.size();
                result.emplace_back(move.piece.data(), move.before);
            } else {
                result[known->second].second = move.before;
            }
        }
    }
    return result;
}

void CSVGTearLinePlacement::clear()
{
    m_step = nullptr;
    m_lines.clear();
    m_pieces.clear();
    m_records.clear();
}
