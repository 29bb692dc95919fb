#pragma once

#include <QPointF>
#include <QTransform>

#include <string>

// Affine transform in SVG order: a point (x, y) maps to
// (a x + c y + e, b x + d y + f).
class CSVGMatrix
{
public:
    CSVGMatrix() = default;
    CSVGMatrix(double a, double b, double c, double d, double e, double f);
    // Copies the numbers only: the transform text belongs to the matrix that
    // was read from it.
    CSVGMatrix(const CSVGMatrix& other);
    CSVGMatrix& operator=(const CSVGMatrix& other);
    virtual ~CSVGMatrix() = default;

    // this = this x m: m applies to a point first, the old matrix after it.
    void multiply(const CSVGMatrix& m);
    // Replaces the matrix by its inverse. A singular matrix cannot be
    // inverted: it stays as it is and the result is false.
    bool invert();

    // Each applies to points before the current matrix, as the functions of
    // a transform list do from left to right. Angles in degrees.
    void rotate(double angle);
    void scale(double sx, double sy);
    void translate(double tx, double ty);
    // Each applies to points after the current matrix.
    void postRotate(double angle);
    void postScale(double sx, double sy);
    void postTranslate(double tx, double ty);

    // No number is infinite or NaN.
    bool isFinite() const;
    // Maps every point onto itself, exactly.
    bool isIdentity() const { return a == 1 && b == 0 && c == 0 && d == 1 && e == 0 && f == 0; }

    QPointF map(const QPointF& point) const;
    // The same transform for QPainter and QPainterPath.
    QTransform toQTransform() const { return QTransform(a, b, c, d, e, f); }

    // "matrix(a,b,c,d,e,f)", each number as the shortest plain decimal that
    // reads back as the same double: a transform goes to the file and back
    // unchanged.
    std::wstring toString() const;
    // Reads an SVG transform list such as "translate(10,0) scale(2)" and
    // keeps the text. Unknown functions are skipped; missing numbers are 0.
    // Numbers keep every digit.
    void parseTransformList(const std::wstring& text);
    // Multiplies in one function, given without its closing parenthesis.
    void parseTransform(const std::wstring& function);
    // The text of the last transform list read, empty after any change.
    const std::wstring& text() const { return m_text; }

    double a = 1;
    double b = 0;
    double c = 0;
    double d = 1;
    double e = 0;
    double f = 0;

private:
    void setNumbers(double a, double b, double c, double d, double e, double f);
    void preMultiply(const CSVGMatrix& m);
    static bool functionMatrix(const std::wstring& name, const double (&n)[6], CSVGMatrix& m);

    std::wstring m_text;
};
