#pragma once

#include "CSVGElementShape.h"

// The root of a drawing. Its width and height are the page size (written
// "15000mm" and so on; the unit is not interpreted), its viewBox four numbers
// separated by blanks. It is drawn and bounded as a container, but never hit
// and never caught by the rubber band.
class CSVGElementSVG : public CSVGElementShape
{
    Q_OBJECT
public:
    explicit CSVGElementSVG(CSVGDocument* document);

    // The root's own attributes ("width", "height", "x", "y", "viewBox",
    // "xmlns", "xmlns:xlink") are stored as they are, any other goes through
    // the style handling. None of them changes the geometry.
    void setAttributeUnstyled(const std::wstring& name, const std::wstring& value, bool notify);

    double getWidth() const { return m_width; }
    double getHeight() const { return m_height; }
    // min-x, min-y, width and height; a viewBox text of any other form than
    // four numbers separated by blanks leaves them as they were.
    CSVGRect getViewBox() const { return m_viewBox; }
    CSVGMatrix getSecondMatrix() const { return m_secondMatrix; }

protected:
    bool readAttributeField(const std::wstring& name, const std::wstring& value) override;

private:
    static bool isRootAttribute(const std::wstring& name);

    double m_x = 0;
    double m_y = 0;
    double m_width = 15000.0;
    double m_height = 1520.0;
    std::wstring m_xmlns = L"http://www.w3.org/2000/svg";
    std::wstring m_xmlnsXlink = L"http://www.w3.org/1999/xlink";
    std::wstring m_viewBoxText;
    CSVGRect m_viewBox { 0, 0, 15000.0, 1520.0 };
    // Identity: nothing in the program moves it.
    CSVGMatrix m_secondMatrix;
};
