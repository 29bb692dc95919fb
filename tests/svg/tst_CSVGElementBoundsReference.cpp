#include "CSVGElementUse.h"
#include "TestElements.h"
#include "TestEnvironment.h"

#include <QDirIterator>
#include <QRegularExpression>
#include <QSvgRenderer>
#include <QXmlStreamReader>

// The bounds of the shapes of outside SVG files, compared with Qt's SVG
// renderer as an independent reference, within a pixel (the files are 200
// pixels wide).
namespace {

const QString kSuite = QStringLiteral(ZOCUT_RESVG_DIR);

// Files about what the model deliberately reads otherwise or not at all
// (units, percentages, nested viewports, entities, style sheet transforms,
// broken values); their names say so.
const QRegularExpression kOtherModel(
    QStringLiteral("-values|percent|invalid-|nested-svg|preserveAspectRatio|viewBox|"
                   "zero-size|no-size|not-UTF-8|funcIRI|numeric-character|"
                   "style-attribute|transform-origin|important|entity|ENTITY|"
                   "xml-space|unknown|missing-|negative-|out-of-range|style/transform"));

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// As an SVG reader would: every element from the document's factory, every
// attribute verbatim, character data left out.
bool load(CSVGDocument& document, const QByteArray& svg)
{
    QXmlStreamReader xml(svg);
    CSVGElement* parent = &document;
    while (!xml.atEnd()) {
        const QXmlStreamReader::TokenType token = xml.readNext();
        if (token == QXmlStreamReader::EndElement)
            parent = parent->getParent();
        if (token != QXmlStreamReader::StartElement)
            continue;
        parent = appendNew(parent, xml.qualifiedName().toString().toStdWString().c_str());
        for (const QXmlStreamAttribute& attribute : xml.attributes())
            parent->setAttribute(attribute.qualifiedName().toString().toStdWString(),
                attribute.value().toString().toStdWString(), false);
    }
    document.updateMatrix(nullptr, false);
    return !xml.hasError() && document.getChildCount() > 0;
}

// The reference measures text in its own fonts, shapes inside definitions
// where they would be drawn, and groups with the definitions they hold.
bool isComparable(CSVGElementShape* shape)
{
    std::vector<CSVGElement*> related;
    shape->collectDescendants(related, true);
    if (auto* use = dynamic_cast<CSVGElementUse*>(shape); use && use->getReferencedElement())
        use->getReferencedElement()->collectDescendants(related, true);
    for (CSVGElement* ancestor = shape->getParent(); ancestor; ancestor = ancestor->getParent())
        related.push_back(ancestor);
    return std::none_of(related.begin(), related.end(), [](const CSVGElement* element) {
        const std::wstring tags = L"|text|defs|clipPath|symbol|mask|pattern|marker|";
        return tags.find(L'|' + element->getTagName() + L'|') != std::wstring::npos;
    });
}

// The reference counts strokes in; the model's bounds are the outlines'.
// Values may be quoted either way; a declaration ends at its quote too.
QByteArray withoutStrokeWidths(const QByteArray& contents)
{
    QString svg = QString::fromUtf8(contents);
    svg.replace(QRegularExpression(QStringLiteral("stroke-width\\s*=\\s*(\"[^\"]*\"|'[^']*')")),
        QStringLiteral("stroke-width=\"0\""));
    svg.replace(QRegularExpression(QStringLiteral("stroke-width\\s*:[^;\"'}<>]*")), QStringLiteral("stroke-width:0"));
    svg.replace(QRegularExpression(QStringLiteral("<svg\\b")), QStringLiteral("<svg stroke-width=\"0\""));
    return svg.toUtf8();
}

} // namespace

class tst_CSVGElementBoundsReference : public QObject
{
    Q_OBJECT
private slots:
    void boundsMatchTheReference_data();
    void boundsMatchTheReference();
    void rotationAboutACentre();
};

void tst_CSVGElementBoundsReference::boundsMatchTheReference_data()
{
    QTest::addColumn<QString>("path");
    if (kSuite.isEmpty())
        QSKIP(
            "The outside SVG suite (shared/testdata/resvg beside the project) is missing: its bounds are not checked");
    QStringList paths;
    for (QDirIterator files(kSuite, { QStringLiteral("*.svg") }, QDir::Files, QDirIterator::Subdirectories);
         files.hasNext();)
        paths << files.next();
    paths.sort();
    for (const QString& path : paths) {
        if (!path.contains(kOtherModel))
            QTest::newRow(qPrintable(path.mid(kSuite.size() + 1))) << path;
    }
}

void tst_CSVGElementBoundsReference::boundsMatchTheReference()
{
    QFETCH(QString, path);
    CSVGDocument document;
    const QByteArray svg = contents(path);
    QVERIFY(load(document, svg));
    QSvgRenderer reference(withoutStrokeWidths(svg));
    std::vector<CSVGElement*> elements;
    document.collectDescendants(elements, false);
    QStringList differences;
    for (CSVGElement* element : elements) {
        const QString id = QString::fromStdWString(element->getId());
        auto* shape = CSVGElementShape::asShape(element);
        if (!shape || element->getTagName() == L"svg" || !reference.elementExists(id) || !isComparable(shape))
            continue;
        const QRectF expected = reference.transformForElement(id).mapRect(reference.boundsOnElement(id));
        const QRectF actual = shape->getTransformedBoundingRect().toQRectF();
        if (expected.isNull()) // a path of moves alone
            continue;
        const double apart = qMax(qMax(qAbs(actual.left() - expected.left()), qAbs(actual.top() - expected.top())),
            qMax(qAbs(actual.right() - expected.right()), qAbs(actual.bottom() - expected.bottom())));
        if (apart > 1.0)
            differences << QStringLiteral("%1 has an edge %2 away").arg(id).arg(apart);
    }
    QVERIFY2(differences.isEmpty(), qPrintable(differences.join(QStringLiteral("; "))));
}

// rotate(a, cx, cy) turns about (cx, cy), in a group and on the shape itself.
void tst_CSVGElementBoundsReference::rotationAboutACentre()
{
    const QByteArray svg = "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"200\" height=\"200\">"
                           "<g transform=\"rotate(30, 50, 20)\"><rect id=\"inner\" x=\"60\" y=\"10\" width=\"40\" "
                           "height=\"20\" stroke-width=\"0\"/></g><rect id=\"own\" x=\"60\" y=\"10\" width=\"40\" "
                           "height=\"20\" stroke-width=\"0\" transform=\"rotate(-45 100 100)\"/></svg>";
    CSVGDocument document;
    QVERIFY(load(document, svg));
    QSvgRenderer reference(svg);
    for (const QString id : { "inner", "own" }) {
        const QRectF expected = reference.transformForElement(id).mapRect(reference.boundsOnElement(id));
        const QRectF actual = CSVGElementShape::asShape(document.getElementById(id.toStdWString()))
                                  ->getTransformedBoundingRect()
                                  .toQRectF();
        QVERIFY2(qAbs(actual.left() - expected.left()) < 1e-3 && qAbs(actual.top() - expected.top()) < 1e-3
                && qAbs(actual.right() - expected.right()) < 1e-3 && qAbs(actual.bottom() - expected.bottom()) < 1e-3,
            qPrintable(QStringLiteral("%1: %2,%3 %4x%5")
                           .arg(id)
                           .arg(actual.x())
                           .arg(actual.y())
                           .arg(actual.width())
                           .arg(actual.height())));
    }
}

ZOCUT_TEST_MAIN(tst_CSVGElementBoundsReference)
#include "tst_CSVGElementBoundsReference.moc"
