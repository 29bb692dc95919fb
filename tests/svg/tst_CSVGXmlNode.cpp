#include "CSVGXmlNode.h"
#include "TestEnvironment.h"

class tst_CSVGXmlNode : public QObject
{
    Q_OBJECT
private slots:
    void stopNode();
    void textAndChildren();
    void layoutAttributesAreNotWritten();
    void valuesAndTextAreEscaped();
};

void tst_CSVGXmlNode::stopNode()
{
    CSVGXmlNode stop(L"stop");
    stop.setAttribute(L"offset", L"0");
    stop.setAttribute(L"stop-color", L"#FF0000");
    QCOMPARE(stop.toXml(), std::wstring(L"<stop offset=\"0\" stop-color=\"#FF0000\">\n</stop>\n"));
    // Setting again moves the attribute to the end.
    stop.setAttribute(L"offset", L"1");
    QCOMPARE(stop.toXml(), std::wstring(L"<stop stop-color=\"#FF0000\" offset=\"1\">\n</stop>\n"));
}

void tst_CSVGXmlNode::textAndChildren()
{
    CSVGXmlNode node;
    node.setName(L"desc");
    node.text = L"abc";
    QCOMPARE(node.toXml(), std::wstring(L"<desc>abc</desc>\n"));

    CSVGXmlNode gradient(L"linearGradient");
    gradient.setAttribute(L"id", L"g1");
    for (const wchar_t* offset : { L"0", L"1" }) {
        CSVGXmlNode stop(L"stop");
        stop.setAttribute(L"offset", offset);
        gradient.children.append(stop);
    }
    QCOMPARE(gradient.toXml(),
        std::wstring(L"<linearGradient id=\"g1\">\n<stop offset=\"0\">\n</stop>\n<stop offset=\"1\">\n</stop>\n"
                     L"</linearGradient>\n"));
}

void tst_CSVGXmlNode::layoutAttributesAreNotWritten()
{
    CSVGXmlNode pattern(L"pattern");
    for (const wchar_t* name : { L"boxx", L"boxy", L"boxwidth", L"boxheight" })
        pattern.setAttribute(name, L"5");
    QCOMPARE(pattern.toXml(), std::wstring(L"<pattern>\n</pattern>\n"));
}

// A quote or angle bracket in a value must not break the markup.
void tst_CSVGXmlNode::valuesAndTextAreEscaped()
{
    CSVGXmlNode text(L"text");
    text.setAttribute(L"font-family", L"\"A&B\" <Sans>");
    text.text = L"x < y && y > \"z\"";
    QCOMPARE(text.toXml(),
        std::wstring(L"<text font-family=\"&quot;A&amp;B&quot; &lt;Sans&gt;\">"
                     L"x &lt; y &amp;&amp; y &gt; &quot;z&quot;</text>\n"));
}

ZOCUT_TEST_MAIN(tst_CSVGXmlNode)
#include "tst_CSVGXmlNode.moc"
