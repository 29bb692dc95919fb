// Element ids, url references and text helpers.

#include "CGlobalConfig.h"

#include <QDateTime>
#include <QLocale>

// The date and time keep ids of separate runs apart; the counter keeps ids of
// one run apart.
std::wstring CGlobalConfig::newElementId()
{
    const int counter = ++m_elementIdCounter;
    // The C locale: some locales write other digits than 0 to 9.
    const QString stamp = QLocale::c().toString(QDateTime::currentDateTime(), QStringLiteral("MMddhhmmss"));
    return stamp.toStdWString() + numberToText(counter);
}

// "url(#grad1)" gives "grad1".
std::wstring CGlobalConfig::getUrlReferenceId(const std::wstring& text)
{
    const size_t hash = text.find(L'#');
    std::wstring id = hash == std::wstring::npos ? text : text.substr(hash + 1);
    const size_t close = id.find(L')');
    if (close != std::wstring::npos)
        id.erase(close);
    return id;
}

// Inserted text is never searched again. An empty search text would match
// everywhere; it leaves the text as it is.
std::wstring CGlobalConfig::replaceAll(const std::wstring& text, const std::wstring& from, const std::wstring& to)
{
    if (from.empty())
        return text;
    std::wstring result;
    size_t start = 0;
    for (size_t found = text.find(from); found != std::wstring::npos; found = text.find(from, start)) {
        result.append(text, start, found - start).append(to);
        start = found + from.size();
    }
    return result.append(text, start, std::wstring::npos);
}

std::vector<std::wstring> CGlobalConfig::splitString(const std::wstring& text, const std::wstring& delimiters)
{
    std::vector<std::wstring> pieces;
    size_t start = text.find_first_not_of(delimiters);
    while (start != std::wstring::npos) {
        const size_t end = text.find_first_of(delimiters, start);
        pieces.push_back(text.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start));
        start = end == std::wstring::npos ? end : text.find_first_not_of(delimiters, end);
    }
    return pieces;
}
