#pragma once

#include "CSVGElementShape.h"

#include <QImage>

class QIODevice;

// A raster picture stretched into the frame (x, y, width, height). The
// picture comes from a Base64 data URL in its link (getLink), or from the file
// named there (as given, or beside the opened document). It has no outline:
// it adds nothing to cut paths, nesting or boolean operations.
class CSVGElementImage : public CSVGElementShape
{
    Q_OBJECT
public:
    explicit CSVGElementImage(CSVGDocument* document);

    std::set<std::wstring> getAttributeNames() const override;
    // Inside the frame grown by the stroke width.
    bool hitTest(double x, double y, std::wstring& groupId, std::wstring& id) override;
    // While dirty: decodes the picture again. A file that cannot be found
    // leaves the previous picture; a data URL that does not decode leaves
    // none.
    void updateGeometry() override;
    void computeBounds() override;

    // "data:image" or "data:metafile" somewhere in the reference.
    bool isDataUrl() const;
    // The text after the first "base64," of a data URL; empty otherwise.
    std::wstring getBase64Data() const;
    // The picture after the geometry is brought up to date.
    QImage getImage();

    // Null for text that is not Base64 of a picture, and for a picture
    // larger than kMaxPixels.
    static QImage imageFromBase64(const std::wstring& text);
    // Pictures are decoded whole into memory: a size read from a file must
    // not decide how much is taken.
    static constexpr qint64 kMaxPixels = 100'000'000;

protected:
    bool readAttributeField(const std::wstring& name, const std::wstring& value) override;
    void drawPicture(QPainter* painter, const QTransform& transform) override;

private:
    static QImage readImage(QIODevice* device);
    // The named file, else the one of that name in the document's folder;
    // only regular files count (a pipe or a device would block the reading).
    QString findFile() const;

    double m_x = 0;
    double m_y = 0;
    double m_width = 0;
    double m_height = 0;
    std::wstring m_href;
    QImage m_image;
};
