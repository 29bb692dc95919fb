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
                   "zero-size|no-size|not-UTF-8|funcIRI|rotate-at|numeric-character|"
                   "style-attribute|transform-origin|important|entity|ENTITY|"
                   "xml-space|unknown|missing-|negative-|out-of-range|style/transform"));

// As an SVG reader would: every element from the document's factory, every
// attribute verbatim, character data left out.
bool load(CSVGDocument& document, const QString& path)
{
    QFile file(path);
    QXmlStreamReader xml(file.open(QIODevice::ReadOnly) ? &file : nullptr);
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
QByteArray withoutStrokeWidths(const QString& path)
{
    QFile file(path);
    QString svg = file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    svg.replace(QRegularExpression(QStringLiteral("stroke-width=\"[^\"]*\"")), QStringLiteral("stroke-width=\"0\""));
    svg.replace(QRegularExpression(QStringLiteral("stroke-width\\s*:[^;\"}]*")), QStringLiteral("stroke-width:0"));
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
};

void tst_CSVGElementBoundsReference::boundsMatchTheReference_data()
{
    QTest::addColumn<QString>("path");
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
    QVERIFY(load(document, path));
    QSvgRenderer reference(withoutStrokeWidths(path));
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

ZOCUT_TEST_MAIN(tst_CSVGElementBoundsReference)
#include "tst_CSVGElementBoundsReference.moc"
