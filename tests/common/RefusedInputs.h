#pragma once

#include <QByteArray>
#include <QString>
#include <QtTest>

// Files named ".svg" that hold no SVG drawing (or one that no reader should
// open), as users meet them, with the reason the refusal gives; the one
// marked damaged is a drawing cut off in transfer, which opens as far as it
// goes and is reported as such.
inline void addRefusedInputRows()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("reason");
    QTest::addColumn<bool>("damaged");
    QTest::newRow("empty") << QByteArray() << "The file is empty." << false;
    QTest::newRow("PNG renamed") << QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR\0\0\0\x01", 20)
                                 << "It is a picture, not an SVG drawing." << false;
    QTest::newRow("gzip (svgz)") << QByteArray("\x1f\x8b\x08\0\0\0\0\0\0\x03\xb3)", 12)
                                 << "It is compressed (as .svgz files are); unpack it to an .svg file first." << false;
    QTest::newRow("plain text") << QByteArray("door 1200 x 800\nhood 1500 x 1100\n") << "It holds no SVG markup."
                                << false;
    QTest::newRow("root not svg") << QByteArray("<?xml version=\"1.0\"?><html><body><svg/></body></html>")
                                  << "Its root element is <html>, not <svg>." << false;
    QTest::newRow("svg root in another namespace") << QByteArray("<x:svg xmlns:x=\"urn:not-svg\"><rect/></x:svg>")
                                                   << "Its root element is <x:svg>, not <svg>." << false;
    QTest::newRow("truncated") << QByteArray("<svg xmlns=\"http://www.w3.org/2000/svg\"><rect x=\"1\" y=\"1\" "
                                             "width=\"5\" height=\"5\"/><rect x=\"9\" y=\"1\" wid")
                               << "The file is damaged: it ends before the drawing does." << true;
    QTest::newRow("nested too deep") << "<svg>" + QByteArray("<g>").repeated(300)
                                     << "The drawing's elements are nested more than 256 levels deep." << false;
    QByteArray laughs = "<!DOCTYPE svg [<!ENTITY l0 \"lol\">";
    for (int i = 1; i < 10; ++i)
        laughs += "<!ENTITY l" + QByteArray::number(i) + " \"" + ("&l" + QByteArray::number(i - 1) + ";").repeated(10)
            + "\">";
    QTest::newRow("entity bomb") << laughs + "]><svg><title>&l9;</title></svg>"
                                 << "Its entities expand too far" << false;
    QTest::newRow("elements from entities")
        << "<!DOCTYPE svg [<!ENTITY p \"<path d='M0 0 L10 0 L10 10 L0 10 Z'/>\">]><svg>"
            + QByteArray("&p;").repeated(9900) + "</svg>"
        << "Its entities make more than 8192 elements." << false;
}
