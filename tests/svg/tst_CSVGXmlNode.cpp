#include "CSVGXmlNode.h"
#include "TestEnvironment.h"

class tst_CSVGXmlNode : public QObject
{
    Q_OBJECT
private slots:
    void attributes();
    void textAndChildren();
};

// Setting again moves the attribute to the end; the layout attributes of a
// pattern are never written.
void tst_CSVGXmlNode::attributes()
{
    CSVGXmlNode stop(L"stop");
    stop.setAttribute(L"offset", L"0");
    stop.setAttribute(L"stop-color", L"#FF0000");
    QCOMPARE(stop.toXml(), std::wstring(L"<stop offset=\"0\" stop-color=\"#FF0000\">\n</stop>\n"));
    stop.setAttribute(L"offset", L"1");
    for (const wchar_t* name : { L"boxx", L"boxy", L"boxwidth", L"boxheight" })
        stop.setAttribute(name, L"5");
    QCOMPARE(stop.toXml(), std::wstring(L"<stop stop-color=\"#FF0000\" offset=\"1\">\n</stop>\n"));
}

// A quote or angle bracket in a value or the text must not break the markup.
void tst_CSVGXmlNode::textAndChildren()
{
    CSVGXmlNode text;
    text.setName(L"text");
    text.setAttribute(L"font-family", L"\"A&B\" <Sans>");
    text.text = L"x < y && y > \"z\"";
    QCOMPARE(text.toXml(),
        std::wstring(L"<text font-family=\"&quot;A&amp;B&quot; &lt;Sans&gt;\">"
                     L"x &lt; y &amp;&amp; y &gt; &quot;z&quot;</text>\n"));

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

ZOCUT_TEST_MAIN(tst_CSVGXmlNode)
#include "tst_CSVGXmlNode.moc"
