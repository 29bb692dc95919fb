#include "CSVGElementUse.h"
#include "TestElements.h"
#include "TestEnvironment.h"

#include <QDirIterator>
#include <QRegularExpression>
#include <QSvgRenderer>
#include <QXmlStreamReader>

// The bounds of the shapes of outside SVG files, compared with Qt's SVG
// renderer as an independent reference.
namespace {

const QString kSuite = QStringLiteral(ZOCUT_RESVG_DIR);

// Within a pixel of the reference, as the files are 200 pixels wide.
constexpr double kTolerance = 1.0;

// Files whose shapes use what the model deliberately reads otherwise or not
// at all: units other than user units and points, percentages, nested
// viewports and the renderer's own inventions. Their names say so.
const char* const kOtherModel[] = { "-values", "percent", "invalid-", "nested-svg", "preserveAspectRatio", "viewBox",
    "zero-size", "no-size", "not-UTF-8", "funcIRI", "rotate-at-position", "numeric-character-references",
    "style-attribute", "transform-origin", "important", "entity", "ENTITY", "xml-space", "unknown", "missing-",
    "negative-", "out-of-range", "style/transform" };

// Reads the file as an SVG reader would: every element from the document's
// factory, every attribute verbatim, character data left out.
bool load(CSVGDocument& document, const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    QXmlStreamReader xml(&file);
    CSVGElement* parent = &document;
    while (!xml.atEnd()) {
        const QXmlStreamReader::TokenType token = xml.readNext();
        if (token == QXmlStreamReader::StartElement) {
            CSVGElement* element = document.createElement(xml.qualifiedName().toString().toStdWString());
            parent->appendChild(element, true, false);
            for (const QXmlStreamAttribute& attribute : xml.attributes())
                element->setAttribute(attribute.qualifiedName().toString().toStdWString(),
                    attribute.value().toString().toStdWString(), false);
            parent = element;
        } else if (token == QXmlStreamReader::EndElement) {
            parent = parent->getParent();
        }
    }
    document.updateMatrix(nullptr, false);
    return !xml.hasError();
}

bool isOtherModel(const QString& path)
{
    for (const char* name : kOtherModel) {
        if (path.contains(QLatin1String(name)))
            return true;
    }
    return false;
}

// A text or definitions below the shape, or shown by it.
bool hasTextOrDefinitions(CSVGElementShape* shape)
{
    std::vector<CSVGElement*> subtree;
    shape->collectDescendants(subtree, true);
    if (auto* use = dynamic_cast<CSVGElementUse*>(shape); use && use->getReferencedElement())
        use->getReferencedElement()->collectDescendants(subtree, true);
    return std::any_of(subtree.begin(), subtree.end(), [](const CSVGElement* element) {
        return element->getTagName() == L"text" || element->getTagName() == L"defs";
    });
}

// The reference measures text in its own fonts, a shape inside a definition
// or a clip path where it would be drawn, and a group with the definitions
// it holds.
bool isComparable(CSVGElementShape* shape)
{
    for (CSVGElement* element = shape; element; element = element->getParent()) {
        const std::wstring tag = element->getTagName();
        if (tag == L"defs" || tag == L"clipPath" || tag == L"symbol" || tag == L"mask" || tag == L"pattern"
            || tag == L"marker")
            return false;
    }
    return !hasTextOrDefinitions(shape);
}

// The file with every stroke width 0: the reference counts strokes in, the
// model's bounds are those of the outlines.
QByteArray withoutStrokeWidths(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    QString svg = QString::fromUtf8(file.readAll());
    svg.replace(QRegularExpression(QStringLiteral("stroke-width=\"[^\"]*\"")), QStringLiteral("stroke-width=\"0\""));
    svg.replace(QRegularExpression(QStringLiteral("stroke-width\\s*:[^;\"}]*")), QStringLiteral("stroke-width:0"));
    svg.replace(QRegularExpression(QStringLiteral("<svg\\b")), QStringLiteral("<svg stroke-width=\"0\""));
    return svg.toUtf8();
}

bool near(const QRectF& a, const QRectF& b)
{
    const auto close = [](double x, double y) { return qAbs(x - y) <= kTolerance; };
    return close(a.left(), b.left()) && close(a.top(), b.top()) && close(a.right(), b.right())
        && close(a.bottom(), b.bottom());
}

QString text(const QRectF& r)
{
    return QStringLiteral("(%1 %2 %3 %4)").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
}

} // namespace

class tst_CSVGElementBoundsReference : public QObject
{
    Q_OBJECT
private slots:
    void boundsMatchTheReference_data();
    void boundsMatchTheReference();
};

void tst_CSVGElementBoundsReference::boundsMatchTheReference_data()
{
    QTest::addColumn<QString>("path");
    for (const char* folder : { "shapes", "structure" }) {
        QDirIterator files(
            kSuite + '/' + folder, { QStringLiteral("*.svg") }, QDir::Files, QDirIterator::Subdirectories);
        QStringList paths;
        while (files.hasNext())
            paths << files.next();
        paths.sort();
        for (const QString& path : paths) {
            if (!isOtherModel(path))
                QTest::newRow(qPrintable(path.mid(kSuite.size() + 1))) << path;
        }
    }
}

void tst_CSVGElementBoundsReference::boundsMatchTheReference()
{
    QFETCH(QString, path);
    CSVGDocument document;
    QVERIFY(load(document, path));
    QSvgRenderer reference(withoutStrokeWidths(path));
    std::vector<CSVGElement*> elements;
    document.collectDescendants(elements, false);
    QStringList differences;
    int compared = 0;
    for (CSVGElement* element : elements) {
        const QString id = QString::fromStdWString(element->getId());
        auto* shape = CSVGElementShape::asShape(element);
        if (!shape || element->getTagName() == L"svg" || !reference.elementExists(id) || !isComparable(shape))
            continue;
        const QRectF expected = reference.transformForElement(id).mapRect(reference.boundsOnElement(id));
        const QRectF actual = shape->getTransformedBoundingRect().toQRectF();
        if (expected.isEmpty() && actual.isEmpty())
            continue;
        ++compared;
        if (!near(actual, expected))
            differences << id + ' ' + text(actual) + " instead of " + text(expected);
    }
    QVERIFY2(differences.isEmpty(), qPrintable(differences.join(QStringLiteral("; "))));
    if (compared == 0)
        QSKIP("nothing comparable");
}

ZOCUT_TEST_MAIN(tst_CSVGElementBoundsReference)
#include "tst_CSVGElementBoundsReference.moc"
