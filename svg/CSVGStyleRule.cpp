#include "CSVGStyleRule.h"

#include "CGlobalConfig.h"

#include <QChar>

#include <atomic>

namespace {

std::atomic<std::uint64_t> g_renameCount { 0 };

const wchar_t* const kBlank = L" \t\r\n";

// White space as Qt's trimming sees it, without a round trip through QString.
bool isSpace(wchar_t c)
{
    return QChar::isSpace(static_cast<uint>(c));
}

std::wstring trimmed(const std::wstring& text, size_t begin, size_t end)
{
    while (begin < end && isSpace(text[begin]))
        ++begin;
    while (end > begin && isSpace(text[end - 1]))
        --end;
    return text.substr(begin, end - begin);
}

} // namespace

CSVGStyleRule::CSVGStyleRule(const std::wstring& name)
    : m_properties { { L"noused", std::wstring() } }
    , m_name(name)
{
}

void CSVGStyleRule::setName(const std::wstring& name)
{
    m_name = name;
    ++g_renameCount;
}

const std::vector<std::pair<int, std::wstring>>& CSVGStyleRule::getPropertiesById() const
{
    if (!m_propertiesByIdValid) {
        m_propertiesById.clear();
        for (const auto& [name, value] : m_properties)
            m_propertiesById.emplace_back(g_config.getAttributeId(name), value);
        m_propertiesByIdValid = true;
    }
    return m_propertiesById;
}

std::uint64_t CSVGStyleRule::renameCount()
{
    return g_renameCount;
}

void CSVGStyleRule::markSheetCurrent()
{
    m_sheetName = m_name;
    m_sheetText = m_text;
}

// A piece that reaches ";" or a line break before any ":" has no name of its
// own: it is dropped, so it neither swallows the next declaration's name nor,
// at the end of the text, keeps the scan from moving on.
void CSVGStyleRule::setText(const std::wstring& text)
{
    if (text.empty())
        return;
    m_text = text;
    m_properties.clear();
    m_propertiesByIdValid = false;
    const size_t size = text.size();
    size_t position = text.find_first_not_of(kBlank);
    while (position < size) {
        const size_t colon = text.find_first_of(L":;\r\n", position);
        if (colon == std::wstring::npos)
            break;
        size_t end = colon;
        if (text[colon] == L':') {
            end = std::min(text.find_first_of(L";\t\r\n", colon + 1), size);
            const std::wstring name = trimmed(text, position, colon);
            if (!name.empty())
                m_properties[name] = trimmed(text, colon + 1, end);
        }
        position = text.find_first_not_of(L" \t\r\n;", end);
    }
}

void CSVGStyleRule::renameUnique(std::map<std::wstring, std::wstring>& renames)
{
    const std::wstring name = L"st" + g_config.newElementId();
    renames[m_name] = name;
    setName(name);
}

void CSVGStyleRule::replaceUrlReference(const std::wstring& oldId, const std::wstring& newId)
{
    setText(CGlobalConfig::replaceAll(m_text, L"url(#" + oldId, L"url(#" + newId));
}

std::vector<std::wstring> CSVGStyleRule::getFillUrlIds() const
{
    const auto fill = m_properties.find(L"fill");
    if (fill == m_properties.end() || fill->second.size() < 4 || fill->second.find(L"url(") == std::wstring::npos)
        return {};
    return { CGlobalConfig::getUrlReferenceId(fill->second) };
}
