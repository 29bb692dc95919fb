// Attribute editing of the selection and fills with an imported paint server.

#include "CActionAdd.h"
#include "CActionAttr.h"
#include "CActionComposite.h"
#include "CActionValue.h"
#include "CGlobalConfig.h"
#include "CSVGDocument.h"
#include "SvgCodes.h"

#include <utility>

namespace {

// The attribute ids of "font-weight", "font-style" and "text-decoration",
// with the value that the style button switches off again.
const std::pair<int, const wchar_t*> kTextToggles[] = { { 9, L"bold" }, { 7, L"italic" }, { 10, L"underline" } };

bool isPaintServer(const CSVGElement* element)
{
    const int type = element->getType();
    return type == SvgType::LinearGradient || type == SvgType::RadialGradient || type == SvgType::Pattern;
}

bool isMarkupNode(const CSVGElement* element)
{
    const int type = element->getType();
    return type == SvgType::Comment || type == SvgType::CData || type == SvgType::Doctype;
}

} // namespace

void CSVGDocument::setSelectionAttributes(
    const std::vector<std::wstring>& names, const std::vector<std::wstring>& values, bool makeDefault)
{
    if (names.size() != values.size())
        return;
    CSVGElement* root = getOwnerSvg();
    if (m_selection.isEmpty() && root) {
        for (size_t i = 0; i < names.size(); ++i) {
            if (names[i] == L"width") {
                root->setAttribute(L"width", values[i], true);
                root->setAttribute(L"viewBox", L"0 0 " + values[i] + L' ' + root->getAttribute(L"height"), true);
            } else if (names[i] == L"height") {
                root->setAttribute(L"height", values[i], true);
                root->setAttribute(L"viewBox", L"0 0 " + root->getAttribute(L"width") + L' ' + values[i], true);
            }
        }
    }
    m_contentChanged = true;
    if (!m_selection.isEmpty()) {
        auto* step = new CActionComposite(this);
        m_history.push(step);
        const QVector<CSVGElement*> targets
            = m_currentElement ? QVector<CSVGElement*> { m_currentElement } : m_selection;
        for (CSVGElement* target : targets) {
            for (size_t i = 0; i < names.size(); ++i)
                setTargetAttribute(target, names[i], values[i], step);
        }
    }
    if (makeDefault) {
        for (size_t i = 0; i < names.size(); ++i)
            storeDefaultStyle(names[i], values[i]);
    }
    rebuildHighlights();
}

// A text's characters are recorded as its text, so that undo brings them
// back; a style that the text has already is switched off.
void CSVGDocument::setTargetAttribute(
    CSVGElement* target, const std::wstring& name, const std::wstring& value, CActionComposite* step)
{
    const bool isText = target->getType() == SvgType::Text;
    CActionBase* change = nullptr;
    if (isText && name == L"textcontent") {
        change = new CActionValue(this, target);
        step->addAction(change);
        target->setText(value, true);
    } else {
        change = new CActionAttr(this, target, name);
        step->addAction(change);
        std::wstring written = value;
        for (const auto& [id, on] : kTextToggles) {
            if (isText && name == g_config.getAttributeName(id) && target->getAttribute(name) == on)
                written.clear();
        }
        target->setAttribute(name, written, true);
    }
    target->updateMatrix(nullptr, true);
    change->captureAfterState();
}

void CSVGDocument::storeDefaultStyle(const std::wstring& name, const std::wstring& value)
{
    if (name == L"stroke") {
        m_defaultStroke = value;
    } else if (name == L"stroke-width") {
        m_defaultStrokeWidth = value;
    } else if (name == L"fill") {
        const CSVGElement* edited = m_currentElement ? m_currentElement : getFirstSelected();
        const bool oneText = m_selection.size() == 1 && edited && edited->getType() == SvgType::Text;
        (oneText ? m_defaultTextFill : m_defaultFill) = value;
    } else if (name == L"fill-opacity") {
        m_defaultFillOpacity = value;
    } else if (name == L"font-family") {
        m_defaultFontFamily = value;
    } else if (name == L"font-size") {
        m_defaultFontSize = value;
    } else if (name == L"stroke-dasharray") {
        m_defaultStrokeDashArray = value;
    }
}

// The paint server's inner ids are renamed as an import's are, so that the
// same fill twice never gives one id to two elements.
void CSVGDocument::setFillUrl(const std::wstring& svgText)
{
    CSVGElement* root = getOwnerSvg();
    if (!root)
        return;
    CSVGDocument imported;
    imported.parseSvgText(svgText, false, false);
    CSVGElement* from = imported.getOwnerSvg();
    CSVGElement* server = nullptr;
    for (int i = 0; from && i < from->getChildCount(); ++i) {
        if (isMarkupNode(from->getChild(i)))
            continue;
        if (server)
            return;
        server = from->getChild(i);
    }
    if (!server || !isPaintServer(server))
        return;
    imported.setIdCounter(m_idCounter);
    renameImportedIds(&imported);

    auto* step = new CActionComposite(this);
    m_history.push(step);
    from->removeChild(server, true);
    root->adoptChild(server, true);
    server->updateMatrix(nullptr, true);
    step->addAction(new CActionAdd(this, root, server));
    std::wstring id = g_config.newElementId();
    while (isIdTaken(id))
        id = g_config.newElementId();
    server->setAttribute(L"id", id, true);
    renumberDrawingOrder();

    const std::wstring url = L"url(#" + id + L')';
    const QVector<CSVGElement*> targets = m_currentElement ? QVector<CSVGElement*> { m_currentElement } : m_selection;
    for (CSVGElement* target : targets) {
        auto* fill = new CActionAttr(this, target, L"fill");
        auto* opacity = new CActionAttr(this, target, L"fill-opacity");
        step->addAction(fill);
        step->addAction(opacity);
        target->setAttribute(L"fill", url, true);
        target->setAttribute(L"fill-opacity", L"1", true);
        fill->captureAfterState();
        opacity->captureAfterState();
    }
    m_overlayChanged = true;
    m_contentChanged = true;
}
