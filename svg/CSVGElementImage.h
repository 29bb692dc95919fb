#pragma once

#include "CSVGElementShape.h"
#include "PictureDecoder.h"

#include <QImage>

// A raster picture stretched into the frame (x, y, width, height). The
// picture comes from a Base64 data URL in its link (getLink), or from the file
// named there (as given, or beside the opened document). It has no outline:
// it adds nothing to cut paths, nesting or boolean operations. Its frame
// alone gives its place and size: the picture is decoded (PictureDecoder)
// only when it is first shown or asked for, and again only after its source
// has changed, so that reading, measuring and saving a drawing cost no
// decoding.
class CSVGElementImage : public CSVGElementShape
{
    Q_OBJECT
public:
    explicit CSVGElementImage(CSVGDocument* document);

    std::set<std::wstring> getAttributeNames() const override;
    // Inside the frame grown by the stroke width.
    bool hitTest(double x, double y, std::wstring& groupId, std::wstring& id) override;
    // While dirty: takes the link as the picture's source. A file that
    // cannot be found leaves the previous picture; a data URL that does not
    // decode leaves none.
    void updateGeometry() override;
    void computeBounds() override;

    // "data:image" or "data:metafile" somewhere in the reference.
    bool isDataUrl() const;
    // The text after the first "base64," of a data URL; empty otherwise.
    std::wstring getBase64Data() const;
    // The picture after the geometry is brought up to date.
    QImage getImage();
    // The picture of the link as it is now, decoded already by the caller.
    void adoptPicture(const QImage& picture);

    // Null for text that is not Base64 of a picture, and for a picture
    // larger than kMaxPixels (see PictureDecoder).
    static QImage imageFromBase64(const std::wstring& text);
    static constexpr qint64 kMaxPixels = PictureDecoder::kMaxPixels;

protected:
    bool readAttributeField(const std::wstring& name, const std::wstring& value) override;
    void drawPicture(QPainter* painter, const QTransform& transform) override;

private:
    // The picture of the source taken at the last geometry update.
    const QImage& picture();
    // The named file, else the one of that name in the document's folder;
    // only regular files count (a pipe or a device would block the reading).
    QString findFile() const;

    double m_x = 0;
    double m_y = 0;
    double m_width = 0;
    double m_height = 0;
    std::wstring m_href;
    QImage m_image;
    // The source taken at the last geometry update: the link's data, or the
    // file found (empty for data), told apart by a key of its text (and of
    // the file's time and size); and the key of the source decoded into
    // m_image. A link set since the last update is hashed anew.
    bool m_linkChanged = false;
    bool m_hasSource = false;
    QString m_sourceFile;
    size_t m_sourceKey = 0;
    bool m_decoded = false;
    size_t m_decodedKey = 0;
};
