#include "SvgInputCheck.h"

#include "CSVGElement.h"
#include "CSVGXmlScanner.h"
#include "SvgCodes.h"
#include "SvgTextCodec.h"

#include <QCoreApplication>

#include <cstring>

namespace {

bool startsWith(const QByteArray& bytes, const char* signature, int size)
{
    return bytes.size() >= size && bytes.startsWith(QByteArray::fromRawData(signature, size));
}

bool isPicture(const QByteArray& bytes)
{
    return startsWith(bytes, "\x89PNG", 4) || startsWith(bytes, "\xff\xd8\xff", 3) || startsWith(bytes, "GIF87a", 6)
        || startsWith(bytes, "GIF89a", 6) || (startsWith(bytes, "RIFF", 4) && bytes.mid(8, 4) == "WEBP");
}

bool isBlank(const QByteArray& bytes)
{
    const int from = bytes.startsWith("\xef\xbb\xbf") ? 3 : 0;
    for (int i = from; i < bytes.size(); ++i) {
        const char c = bytes.at(i);
        if (c != ' ' && c != '\t' && c != '\r' && c != '\n')
            return false;
    }
    return true;
}

// A NUL byte before any markup is no text of ours. SVG in UTF-16 or UTF-32
// starts with its byte-order mark or, in UTF-16, with "<"; after the markup
// has begun, the text simply ends at a NUL byte (a file padded with zeros
// after a crash reads as far as its text goes).
bool isBinary(const QByteArray& bytes)
{
    if (SvgTextCodec::wideCodec(bytes))
        return false;
    // A zero byte before the first "<": only the bytes up to it are looked
    // at, not the whole of a large file.
    const int markup = bytes.indexOf('<');
    const int before = markup < 0 ? bytes.size() : markup;
    return std::memchr(bytes.constData(), 0, static_cast<size_t>(before)) != nullptr;
}

bool isMarkupNode(const CSVGElement* element)
{
    const int type = element->getType();
    return type == SvgType::Comment || type == SvgType::Doctype || type == SvgType::CData;
}

QString tr(const char* text)
{
    return QCoreApplication::translate("SvgInputCheck", text);
}
} // namespace

SvgInputCheck::Result SvgInputCheck::checkBytes(const QByteArray& bytes)
{
    Result result;
    if (isBlank(bytes))
        result.verdict = Verdict::Empty;
    else if (startsWith(bytes, "\x1f\x8b", 2))
        result.verdict = Verdict::Compressed;
    else if (isPicture(bytes))
        result.verdict = Verdict::Picture;
    else if (isBinary(bytes))
        result.verdict = Verdict::Binary;
    return result;
}

// Comments, the doctype and declarations may stand before the root. The
// root is the SVG element: "svg:svg" with its prefix bound to the SVG
// namespace is read as one, "x:svg" in another namespace is none.
SvgInputCheck::Result SvgInputCheck::checkTree(CSVGElement* document, bool complete)
{
    Result result;
    const CSVGElement* root = nullptr;
    for (int i = 0; document && i < document->getChildCount() && !root; ++i) {
        if (!isMarkupNode(document->getChild(i)))
            root = document->getChild(i);
    }
    if (!root) {
        result.verdict = Verdict::NoMarkup;
    } else if (root->getType() != SvgType::Svg) {
        result.verdict = Verdict::OtherRoot;
        result.rootTag = QString::fromStdWString(root->getTagName());
    } else if (!complete) {
        result.verdict = Verdict::Damaged;
    }
    return result;
}

QString SvgInputCheck::reason(const Result& result)
{
    switch (result.verdict) {
    case Verdict::Drawing:
        break;
    case Verdict::Empty:
        return tr("The file is empty.");
    case Verdict::Picture:
        return tr("It is a picture, not an SVG drawing.");
    case Verdict::Compressed:
        return tr("It is compressed (as .svgz files are); unpack it to an .svg file first.");
    case Verdict::Binary:
        return tr("It holds binary data, not SVG text.");
    case Verdict::NoMarkup:
        return tr("It holds no SVG markup.");
    case Verdict::OtherRoot:
        return tr("Its root element is <%1>, not <svg>.").arg(result.rootTag);
    case Verdict::TooDeep:
        return tr("The drawing's elements are nested more than %1 levels deep.").arg(CSVGXmlScanner::kMaxDepth);
    case Verdict::EntityLimit:
        return tr("Its entities expand too far (more than %1 characters, or more than %2 levels deep).")
            .arg(CSVGXmlScanner::kMaxEntityCharacters)
            .arg(CSVGXmlScanner::kMaxEntityDepth);
    case Verdict::NamesLeftOut:
        return tr("The drawing brings more than %1 attribute names new to the program; these are left out: %2.")
            .arg(CSVGXmlScanner::kNewAttributeNames)
            .arg(result.leftOutNames);
    case Verdict::AfterRoot:
        return tr("Content after the drawing's root element is left out.");
    case Verdict::EntityElements:
        return tr("Its entities make more than %1 elements.").arg(CSVGXmlScanner::kMaxEntityElements);
    case Verdict::Damaged:
        return tr("The file is damaged: it ends before the drawing does.");
    case Verdict::ElementLimit:
        return tr("The drawing has more than %1 elements; those beyond are left out.")
            .arg(CSVGXmlScanner::kMaxElements);
    case Verdict::OutOfMemory:
        return tr("There is not enough memory to read it; close other drawings or programs and try again.");
    }
    return QString();
}

QString SvgInputCheck::message(const QString& name, const Result& result)
{
    if (refuses(result))
        return tr("%1 cannot be opened.").arg(name) + QLatin1Char('\n') + reason(result);
    if (opensInPart(result))
        return tr("%1 is opened as far as it could be read.").arg(name) + QLatin1Char('\n') + reason(result);
    return QString();
}
