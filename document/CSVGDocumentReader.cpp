// Reading SVG text into the document: files, bytes, text, and the imports
// that merge another drawing into this one with fresh ids.

#include "CActionAdd.h"
#include "CActionComposite.h"
#include "CActionValue.h"
#include "CGlobalConfig.h"
#include "CSVGDocument.h"
#include "CSVGElementShape.h"
#include "CSVGElementStyle.h"
#include "CSVGStyleRule.h"
#include "CSVGXmlScanner.h"
#include "SafeTruncate.h"
#include "SvgCodes.h"
#include "SvgTextCodec.h"

#include <QFile>
#include <QJsonDocument>
#include <QSettings>

#include <climits>
#include <cmath>
#include <map>
#include <memory>
#include <new>

namespace {

using IdMap = std::map<std::wstring, std::wstring>;

// Attributes that name another element: url() paints and clips, "style"
// declarations holding them, and links.
const wchar_t* const kUrlAttributes[]
    = { L"fill", L"stroke", L"clip-path", L"mask", L"filter", L"marker-start", L"marker-mid", L"marker-end", L"style" };
const wchar_t* const kLinkAttributes[] = { L"xlink:href", L"href" };

// Every "url(#id)" whose id was renamed points at the new id; a reference
// to an id that only begins like a renamed one stays.
std::wstring remapUrls(const std::wstring& text, const IdMap& ids)
{
    static const std::wstring start = L"url(#";
    std::wstring out;
    size_t from = 0;
    for (size_t found = text.find(start); found != std::wstring::npos; found = text.find(start, from)) {
        const size_t idBegin = found + start.size();
        const size_t idEnd = std::min(text.find(L')', idBegin), text.size());
        const auto renamed = ids.find(text.substr(idBegin, idEnd - idBegin));
        out.append(text, from, idBegin - from);
        out += renamed == ids.end() ? text.substr(idBegin, idEnd - idBegin) : renamed->second;
        from = idEnd;
    }
    return from == 0 ? text : out + text.substr(from);
}

void remapReferences(CSVGElement* element, const IdMap& ids)
{
    for (const wchar_t* name : kUrlAttributes) {
        const std::wstring value = element->getAttribute(name);
        if (value.find(L"url(#") == std::wstring::npos)
            continue;
        const std::wstring remapped = remapUrls(value, ids);
        if (remapped != value)
            element->setAttribute(name, remapped, true);
    }
    for (const wchar_t* name : kLinkAttributes) {
        const std::wstring value = element->getAttribute(name);
        const auto renamed = value.size() > 1 && value[0] == L'#' ? ids.find(value.substr(1)) : ids.end();
        if (renamed != ids.end())
            element->setAttribute(name, L'#' + renamed->second, true);
    }
}

std::wstring renameClasses(const std::wstring& classes, const IdMap& names)
{
    std::wstring out;
    for (const std::wstring& name : CGlobalConfig::splitString(classes, L" \t\r\n")) {
        if (name.empty())
            continue;
        const auto renamed = names.find(name);
        if (!out.empty())
            out += L' ';
        out += renamed == names.end() ? name : renamed->second;
    }
    return out;
}

bool isFinite(const QRectF& rect)
{
    return std::isfinite(rect.x()) && std::isfinite(rect.y()) && std::isfinite(rect.width())
        && std::isfinite(rect.height());
}

double finiteOrZero(double value)
{
    return std::isfinite(value) ? value : 0.0;
}

std::wstring pageViewBox(int width, int height)
{
    return L"0 0 " + CGlobalConfig::intToText(width) + L' ' + CGlobalConfig::intToText(height);
}

// Room held while a text is read: when the memory runs out, it goes first,
// so that what was read can be let go and the reason said.
class MemoryReserve
{
public:
    MemoryReserve()
        : m_block(new char[kBytes])
    {
        // Written, so that the allocation is not left out.
        static_cast<volatile char*>(m_block.get())[0] = 0;
    }

private:
    static constexpr std::size_t kBytes = std::size_t(32) << 20;
    std::unique_ptr<char[]> m_block;
};

} // namespace

QString CSVGDocument::decodeSvgBytes(const QByteArray& bytes)
{
    return SvgTextCodec::decode(bytes);
}

bool CSVGDocument::openFile(const std::wstring& path)
{
    if (path.empty())
        return false;
    setShowGrid(true);
    setShowRuler(true);
    m_backgroundChanged = true;
    m_overlayChanged = true;
    const size_t separator = path.find_last_of(L"/\\");
    m_fileFolder = separator == std::wstring::npos ? path : path.substr(0, separator);
    m_readCheck = SvgInputCheck::Result();
    clearContents();
    // Read as bytes: text mode would drop every 0x0D byte, of a line end
    // and of a UTF-16 character alike.
    QFile file(QString::fromStdWString(path));
    if (!file.open(QIODevice::ReadOnly)) {
        newDocument();
        return false;
    }
    const bool ungroup = QSettings().value(QStringLiteral("general/ungroup"), false).toBool();
    QByteArray bytes;
    try {
        bytes = file.readAll();
    } catch (const std::bad_alloc&) {
        return refuseForMemory();
    }
    return readDrawingBytes(std::move(bytes), ungroup);
}

bool CSVGDocument::loadSvgData(const QByteArray& bytes)
{
    setShowGrid(true);
    setShowRuler(true);
    m_backgroundChanged = true;
    m_overlayChanged = true;
    const bool ungroup = QSettings().value(QStringLiteral("general/ungroup"), false).toBool();
    // Hidden pieces are content too: they are kept, not read over.
    if (contentBounds(false).isNull())
        return readDrawingBytes(bytes, ungroup);
    CSVGDocument imported;
    const bool read = imported.readDrawingBytes(bytes, ungroup);
    m_readCheck = imported.readCheck();
    if (read)
        mergeImported(imported);
    return read;
}

// The bytes go as soon as they are decoded, so that a large file is held
// only once at a time.
bool CSVGDocument::readDrawingBytes(QByteArray bytes, bool ungroup)
{
    clearContents();
    m_readCheck = SvgInputCheck::checkBytes(bytes);
    if (SvgInputCheck::refuses(m_readCheck))
        return refuseText();
    try {
        const MemoryReserve reserve;
        QString decoded = decodeSvgBytes(bytes);
        bytes = QByteArray();
        return readDrawingText(std::move(decoded), ungroup);
    } catch (const std::bad_alloc&) {
        return refuseForMemory();
    }
}

bool CSVGDocument::readDrawingText(QString text, bool ungroup)
{
    clearContents();
    const ScanOutcome outcome = scanOwnedText(std::move(text));
    m_readCheck = scanCheck(outcome);
    if (!SvgInputCheck::refuses(m_readCheck)) {
        const bool complete = outcome != ScanOutcome::CutOff;
        const SvgInputCheck::Result tree = SvgInputCheck::checkTree(this, complete);
        if (tree.verdict != SvgInputCheck::Verdict::Drawing)
            m_readCheck = tree;
    }
    if (SvgInputCheck::refuses(m_readCheck))
        return refuseText();
    finishParsing(ungroup, false);
    return true;
}

// The new content's top goes 10 units below the bottom of what is here;
// its ids continue this document's numbering, so that nothing here is
// found under an imported id.
void CSVGDocument::mergeImported(CSVGDocument& imported)
{
    const QRectF here = getContentBoundingRect();
    const QRectF incoming = imported.getContentBoundingRect();
    if (!here.isNull() && isFinite(here) && isFinite(incoming)) {
        const double dx = here.left() - incoming.left();
        const double dy = here.top() + here.height() + 10.0 - incoming.top();
        imported.translateRootShapes(finiteOrZero(dx), finiteOrZero(dy));
    }
    imported.setIdCounter(m_idCounter);
    renameImportedIds(&imported);
    CSVGElement* from = imported.getOwnerSvg();
    CSVGElement* to = getOwnerSvg();
    while (from && to && from->getChildCount() > 0) {
        CSVGElement* child = from->getChild(0);
        from->removeChild(child, true);
        to->adoptChild(child, true);
    }
}

CSVGDocument::ScanOutcome CSVGDocument::scanXml(const QString& text, CSVGElement* parent)
{
    CSVGXmlScanner scanner(this);
    const bool complete = scanner.scan(text, parent);
    if (scanner.isTooDeep())
        return ScanOutcome::TooDeep;
    if (scanner.reachedEntityLimit())
        return scanner.reachedEntityElementLimit() ? ScanOutcome::EntityElements : ScanOutcome::EntityLimit;
    if (scanner.reachedElementLimit())
        return ScanOutcome::ElementLimit;
    if (!complete)
        return ScanOutcome::CutOff;
    QStringList names;
    for (const std::wstring& name : scanner.leftOutNames())
        names << QString::fromStdWString(name);
    if (scanner.leftOutMoreNames())
        names << QStringLiteral("\u2026");
    m_scanLeftOutNames = names.join(QLatin1String(", "));
    if (!names.isEmpty())
        return ScanOutcome::NamesLeftOut;
    return scanner.contentAfterRoot() ? ScanOutcome::AfterRoot : ScanOutcome::Complete;
}

SvgInputCheck::Result CSVGDocument::scanCheck(ScanOutcome outcome) const
{
    switch (outcome) {
    case ScanOutcome::TooDeep:
        return SvgInputCheck::Result { SvgInputCheck::Verdict::TooDeep, QString() };
    case ScanOutcome::EntityLimit:
        return SvgInputCheck::Result { SvgInputCheck::Verdict::EntityLimit, QString() };
    case ScanOutcome::EntityElements:
        return SvgInputCheck::Result { SvgInputCheck::Verdict::EntityElements, QString() };
    case ScanOutcome::ElementLimit:
        return SvgInputCheck::Result { SvgInputCheck::Verdict::ElementLimit, QString() };
    case ScanOutcome::NamesLeftOut:
        return SvgInputCheck::Result { SvgInputCheck::Verdict::NamesLeftOut, QString(), m_scanLeftOutNames };
    case ScanOutcome::AfterRoot:
        return SvgInputCheck::Result { SvgInputCheck::Verdict::AfterRoot, QString() };
    default:
        return SvgInputCheck::Result();
    }
}

// The maps of ids go first: letting the tree go then asks for no memory to
// remember its ids by.
bool CSVGDocument::refuseForMemory()
{
    m_idMap.clear();
    m_usedIds.clear();
    clearContents();
    m_readCheck = SvgInputCheck::Result { SvgInputCheck::Verdict::OutOfMemory, QString() };
    return refuseText();
}

bool CSVGDocument::refuseText()
{
    clearContents();
    newDocument();
    // Bytes refused before any scan leave no reading under way either.
    setLoading(false);
    notifyChanged();
    return false;
}

// Each copy of a large file's text is gone before the next step needs room:
// the raw bytes once decoded, and the decoded text, which the scanner reads
// as it is, before the bounds of the new tree are worked out.
CSVGDocument::ScanOutcome CSVGDocument::scanOwnedText(QString decoded)
{
    return scanXml(decoded, this);
}

bool CSVGDocument::parseSvgText(const std::wstring& text, bool ungroup, bool moveToOrigin)
{
    return parseSvgText(QString::fromStdWString(text), ungroup, moveToOrigin);
}

bool CSVGDocument::parseSvgText(const QString& text, bool ungroup, bool moveToOrigin)
{
    clearContents();
    try {
        const MemoryReserve reserve;
        m_readCheck = scanCheck(scanXml(text, this));
        if (SvgInputCheck::refuses(m_readCheck))
            return refuseText();
        finishParsing(ungroup, moveToOrigin);
    } catch (const std::bad_alloc&) {
        return refuseForMemory();
    }
    return true;
}

void CSVGDocument::finishParsing(bool ungroup, bool moveToOrigin)
{
    CSVGElement* root = getOwnerSvg();
    if (!root) {
        root = createElement(L"svg");
        root->setAttribute(L"viewBox", pageViewBox(m_pageWidth, m_pageHeight), false);
        appendChild(root, true, false);
        while (getChildCount() > 1)
            root->adoptChild(getChild(0), false);
    }
    readRootAttributes(root);
    for (int i = 0; i < root->getChildCount(); ++i) {
        if (CSVGElementShape* shape = CSVGElementShape::asShape(root->getChild(i))) {
            shape->updateMatrix(nullptr, true);
            shape->getTransformedBoundingRect();
        }
    }
    readCustomPositions(root->getAttribute(L"custom_positions"));
    // Applied once: a saved file or the writer's own re-read must not move
    // the pieces again.
    const double ox = g_config.parseLength(root->getAttribute(L"originx"));
    const double oy = g_config.parseLength(root->getAttribute(L"originy"));
    if (ox != 0.0 || oy != 0.0)
        translateRootShapes(-ox + 0.1, -oy + 0.1);
    root->removeAttribute(L"originx");
    root->removeAttribute(L"originy");
    if (moveToOrigin) {
        const QRectF content = getContentBoundingRect();
        if (isFinite(content) && content.topLeft() != QPointF(0, 0))
            translateRootShapes(-content.left() + 1.0, -content.top() + 1.0);
    }
    if (ungroup) {
        int groups = 0;
        for (int i = root->getChildCount() - 1; i >= 0; --i) {
            if (root->getChild(i)->getType() == SvgType::G) {
                selectElement(root->getChild(i), Qt::green);
                ++groups;
            }
        }
        if (groups == 1)
            ungroupSelection();
    }
    clearSelection();
    notifyChanged();
}

// The viewBox's third and fourth numbers stand in for a width or height that
// is missing or given in percent.
void CSVGDocument::readRootAttributes(CSVGElement* root)
{
    const std::wstring width = root->getAttribute(L"width");
    const std::wstring height = root->getAttribute(L"height");
    std::wstring viewBox = root->getAttribute(L"viewBox");
    std::replace(viewBox.begin(), viewBox.end(), L',', L' ');
    std::replace(viewBox.begin(), viewBox.end(), L';', L' ');
    // Split at every single blank: two blanks in a row give an empty part.
    std::vector<std::wstring> parts(1);
    for (wchar_t c : viewBox) {
        if (c == L' ')
            parts.emplace_back();
        else
            parts.back() += c;
    }
    const bool fromViewBox = parts.size() == 4;
    const auto pick = [](const std::wstring& own, const std::wstring& fallback) {
        return own.empty() || own.find(L'%') != std::wstring::npos ? fallback : own;
    };
    const int pageWidth
        = truncateClamped<int>(g_config.parseLength(pick(width, fromViewBox ? parts[2] : width)), INT_MIN, INT_MAX);
    const int pageHeight
        = truncateClamped<int>(g_config.parseLength(pick(height, fromViewBox ? parts[3] : height)), INT_MIN, INT_MAX);
    if (pageWidth > 0)
        m_pageWidth = pageWidth;
    if (pageHeight > 0)
        m_pageHeight = pageHeight;
}

// Base64 of a binary JSON document holding one array. Qt validates the
// binary form before reading it; anything else gives an empty array.
void CSVGDocument::readCustomPositions(const std::wstring& text)
{
    const QByteArray binary = QByteArray::fromBase64(QString::fromStdWString(text).toUtf8());
    QT_WARNING_PUSH
    QT_WARNING_DISABLE_DEPRECATED
    const QJsonDocument json = QJsonDocument::fromBinaryData(binary, QJsonDocument::Validate);
    QT_WARNING_POP
    m_customPositions = json.isArray() ? json.array() : QJsonArray();
}

void CSVGDocument::translateRootShapes(double dx, double dy)
{
    CSVGElement* root = getOwnerSvg();
    for (int i = 0; root && i < root->getChildCount(); ++i) {
        CSVGElement* child = root->getChild(i);
        if (!child->isShape())
            continue;
        CSVGMatrix matrix = child->getTransformMatrix();
        matrix.postTranslate(dx, dy);
        child->setAttribute(L"transform", matrix.toString(), true);
        child->updateMatrix(nullptr, true);
    }
}

void CSVGDocument::groupRootChildren()
{
    CSVGElement* root = getOwnerSvg();
    if (!root || root->getChildCount() < 2)
        return;
    std::vector<CSVGElement*> children;
    while (root->getChildCount() > 0) {
        children.push_back(root->getChild(0));
        root->detachChild(children.back());
    }
    CSVGElement* group = createElement(L"g");
    for (CSVGElement* child : children)
        group->appendChild(child, false, false);
    group->setAttribute(L"class", root->getAttribute(L"class"), false);
    root->appendChild(group, true, false);
}

CActionComposite* CSVGDocument::pasteSvgText(const std::wstring& text)
{
    if (m_caretIndex >= 0 && m_selection.size() == 1) {
        CSVGElement* target = m_currentElement ? m_currentElement : m_selection.first();
        if (target->getType() == SvgType::Text)
            return pasteIntoText(target, text);
    }
    const bool whole = text.size() >= 4 && text.find(L"<svg") != std::wstring::npos;
    CSVGDocument imported;
    const bool read = imported.parseSvgText(whole ? text : L"<svg>" + text + L"</svg>", false, false);
    m_readCheck = imported.readCheck();
    if (!read)
        return nullptr;
    clearSelection();
    auto* composite = new CActionComposite(this);
    m_history.push(composite);
    imported.setIdCounter(m_idCounter);
    renameImportedIds(&imported);
    CSVGElement* from = imported.getOwnerSvg();
    CSVGElement* to = getOwnerSvg();
    if (!to) {
        newDocument();
        to = getOwnerSvg();
    }
    while (from && from->getChildCount() > 0) {
        CSVGElement* child = from->getChild(0);
        from->removeChild(child, true);
        to->appendChild(child, true, true);
        composite->addAction(new CActionAdd(this, to, child));
        selectElement(child, Qt::green);
    }
    renumberDrawingOrder();
    m_overlayChanged = true;
    m_contentChanged = true;
    return composite;
}

CActionComposite* CSVGDocument::pasteIntoText(CSVGElement* text, const std::wstring& pasted)
{
    auto* composite = new CActionComposite(this);
    m_history.push(composite);
    auto* change = new CActionValue(this, text);
    composite->addAction(change);
    QString content = QString::fromStdWString(text->getText());
    const QString insert = QString::fromStdWString(pasted);
    const int at = std::min(m_caretIndex, content.size());
    content.insert(at, insert);
    text->setText(content.toStdWString(), true);
    change->captureAfterState();
    if (CSVGElementShape* shape = CSVGElementShape::asShape(text))
        shape->updateGeometry();
    m_caretIndex = at + insert.size();
    m_highlights.updateElement(text, m_caretIndex);
    m_overlayChanged = true;
    m_contentChanged = true;
    return composite;
}

// The move joins the paste's own step: one undo takes the copy away, rather
// than leaving it on top of what it was copied from.
void CSVGDocument::pasteSvgTextAt(const std::wstring& text, const QPointF& point)
{
    CActionComposite* pasted = pasteSvgText(text);
    if (!pasted)
        return;
    double left = 9999999827968.0;
    double top = 9999999827968.0;
    double right = -999999995904.0;
    double bottom = -999999995904.0;
    bool any = false;
    for (CSVGElement* element : qAsConst(m_selection)) {
        CSVGElementShape* shape = CSVGElementShape::asShape(element);
        if (!shape)
            continue;
        const CSVGRect box = shape->getTransformedBoundingRect();
        left = std::min(left, box.x);
        top = std::min(top, box.y);
        right = std::max(right, box.x + box.width);
        bottom = std::max(bottom, box.y + box.height);
        any = true;
    }
    const QPointF offset = point - QPointF((left + right) / 2, (top + bottom) / 2);
    if (any && std::isfinite(offset.x()) && std::isfinite(offset.y())) {
        beginTransformAction(pasted);
        for (CSVGElement* element : qAsConst(m_selection)) {
            CSVGMatrix matrix = element->getTransformMatrix();
            matrix.postTranslate(offset.x(), offset.y());
            element->setAttribute(L"transform", matrix.toString(), true);
            element->updateMatrix(nullptr, true);
            m_highlights.addElement(element, Qt::green);
        }
        endTransformAction();
    }
    m_overlayChanged = true;
    m_contentChanged = true;
}

void CSVGDocument::renameImportedIds(CSVGDocument* imported)
{
    CSVGElement* root = imported ? imported->getOwnerSvg() : nullptr;
    if (!root)
        return;
    // Every id of the imported content counts as handed out: none of them
    // is given again.
    for (const auto& entry : imported->m_idMap)
        imported->m_usedIds.emplace(entry.first);
    imported->m_idMap.clear();
    imported->m_foreignIds.clear();
    std::vector<CSVGElement*> elements;
    root->collectDescendants(elements, false);
    IdMap ids;
    for (CSVGElement* element : elements) {
        const std::wstring fresh = imported->makeUniqueId(element->getTagName());
        const std::wstring old = element->getId();
        if (!old.empty())
            ids[old] = fresh;
        element->setAttribute(L"id", fresh, true);
    }
    for (CSVGElement* element : elements)
        remapReferences(element, ids);
    IdMap classes;
    for (CSVGElementStyle* style : imported->m_styleElements) {
        for (CSVGStyleRule* rule : style->getRules()) {
            rule->renameUnique(classes);
            const std::wstring text = remapUrls(rule->getText(), ids);
            if (text != rule->getText())
                rule->setText(text);
        }
    }
    for (CSVGElement* element : elements) {
        const std::wstring names = element->getAttribute(L"class");
        if (!names.empty())
            element->setAttribute(L"class", renameClasses(names, classes), true);
    }
    root->registerSubtree();
}
