// Raster rendering: SVG text drawn into images for previews, uploads, the
// cut dialog and exports, always from a throw-away working document.

#include "CSVGDocument.h"
#include "CSVGElementImage.h"
#include "CSVGElementShape.h"
#include "SafeTruncate.h"

#include <QPainter>
#include <QStringList>

#include <algorithm>
#include <climits>
#include <cmath>

namespace {

QImage blankImage(const QSize& size, bool white)
{
    QImage image(size, white ? QImage::Format_RGB32 : QImage::Format_ARGB32);
    image.fill(white ? Qt::white : Qt::transparent);
    return image;
}

// Sizes come from files and callers: none may take more memory than a
// picture element may.
bool withinPixelBudget(const QSize& size)
{
    return size.width() >= 0 && size.height() >= 0
        && qint64(size.width()) * size.height() <= CSVGElementImage::kMaxPixels;
}

// A percentage or anything but a whole number counts as 0.
int sizeAttribute(const std::wstring& value)
{
    const QString text = QString::fromStdWString(value);
    return text.contains(QLatin1Char('%')) ? 0 : text.toInt();
}

QSize rootImageSize(CSVGElement* root)
{
    QSize size(sizeAttribute(root->getAttribute(L"width")), sizeAttribute(root->getAttribute(L"height")));
    if (size.width() > 1 && size.height() > 1)
        return size;
    QString viewBox = QString::fromStdWString(root->getAttribute(L"viewBox"));
    viewBox.replace(QLatin1Char(' '), QLatin1Char(',')).replace(QLatin1Char(';'), QLatin1Char(','));
    const QStringList parts = viewBox.split(QLatin1Char(','));
    if (parts.size() == 4)
        size = QSize(parts[2].toInt(), parts[3].toInt());
    return size;
}

// Exactly that many strips, the last line on the right edge; never more
// lines than the page has pixel columns.
void drawDivisions(QPainter& painter, const QRectF& page, int divisions)
{
    if (divisions < 1 || !(page.width() >= 1.0) || !std::isfinite(page.width()))
        return;
    const int count = std::min(divisions, truncateClamped<int>(page.width(), 1, INT_MAX));
    const double step = page.width() / count;
    painter.save();
    QPen line(Qt::red);
    line.setWidth(0);
    for (int i = 1; i <= count; ++i) {
        const double x = page.left() + i * step;
        painter.setPen(line);
        painter.drawLine(QLineF(x, page.top(), x, page.bottom()));
        painter.setPen(Qt::blue);
        painter.drawText(QRectF(x - step, page.top(), step, page.height()), Qt::AlignCenter, QString::number(i - 1));
    }
    painter.restore();
}

} // namespace

// The page (one unit wider and higher, so its frame fits) or, without one,
// the drawing's box is fitted into the target and centred in it. The
// fitting is the matrix the pieces are painted with: moving thousands of
// them into one transformed group would cost more than the painting.
void CSVGDocument::renderSvgToImage(
    QImage& image, int& count, const std::wstring& text, int width, int height, QRectF& pageRect, int divisions)
{
    image = blankImage(QSize(32, 32), false);
    count = 0;
    CSVGDocument work;
    if (!work.readDrawingText(QString::fromStdWString(text), false))
        return;
    CSVGElement* root = work.getOwnerSvg();
    if (!root)
        return;
    // The pieces that are drawn, which are the pieces cut.
    for (int i = 0; i < root->getChildCount(); ++i) {
        CSVGElementShape* shape = CSVGElementShape::asShape(root->getChild(i));
        count += shape && !shape->isHidden() ? 1 : 0;
    }
    const bool onPage = pageRect.isValid();
    const QRectF source = onPage ? pageRect.adjusted(0, 0, 1.0, 1.0) : work.getContentBoundingRect();
    const double sourceWidth = std::max(1.0, source.width());
    const double sourceHeight = std::max(1.0, source.height());
    const QSize target = width == -1 && height == -1
        ? QSize(truncateClamped<int>(sourceWidth, 1, INT_MAX), truncateClamped<int>(sourceHeight, 1, INT_MAX))
        : QSize(width, height);
    if (target.isEmpty() || !withinPixelBudget(target)
        || !std::isfinite(source.left() + source.top() + source.width() + source.height()))
        return;

    // The drawing's outlines run along its box: on its right and bottom
    // edges a hairline would fall past the last pixel, so the drawing keeps
    // clear of the target's edges.
    const double margin = !onPage && target.width() > 8 && target.height() > 8 ? 2.0 : 0.0;
    const double scale
        = std::min((target.width() - 2 * margin) / sourceWidth, (target.height() - 2 * margin) / sourceHeight);
    CSVGMatrix matrix;
    matrix.scale(scale, scale);
    matrix.translate((target.width() / scale - sourceWidth) * 0.5 - source.left(),
        (target.height() / scale - sourceHeight) * 0.5 - source.top());

    image = blankImage(target, false);
    QPainter painter(&image);
    if (onPage) {
        pageRect = matrix.toQTransform().mapRect(pageRect);
        painter.fillRect(pageRect, Qt::white);
        painter.drawRect(pageRect);
        drawDivisions(painter, pageRect, divisions);
    }
    work.refreshAndPaint(painter, matrix);
}

QImage CSVGDocument::renderImageForSave(const std::wstring& text, const std::wstring& format)
{
    const bool white = format == L"jpg";
    QImage image = blankImage(QSize(32, 32), white);
    CSVGDocument work;
    if (!work.readDrawingText(QString::fromStdWString(text), false))
        return image;
    CSVGElement* root = work.getOwnerSvg();
    if (!root)
        return image;
    const QSize size = rootImageSize(root);
    if (!withinPixelBudget(size))
        return image;
    image = blankImage(size, white);
    if (image.isNull())
        return image;
    QPainter painter(&image);
    work.refreshAndPaint(painter, CSVGMatrix());
    return image;
}

void CSVGDocument::paintElements(QPainter* painter, const CSVGMatrix& matrix)
{
    CSVGElement* root = getOwnerSvg();
    if (!painter || !root)
        return;
    painter->resetTransform();
    for (int i = 0; i < root->getChildCount(); ++i) {
        if (CSVGElementShape* shape = CSVGElementShape::asShape(root->getChild(i)))
            shape->draw(painter, matrix, false, false, false, false);
    }
}

void CSVGDocument::refreshAndPaint(QPainter& painter, const CSVGMatrix& view)
{
    CSVGElement* root = getOwnerSvg();
    if (!root)
        return;
    renumberDrawingOrder();
    root->updateMatrix(nullptr, false);
    std::vector<CSVGElement*> elements;
    root->collectDescendants(elements, true);
    for (CSVGElement* element : elements) {
        CSVGElementShape* shape = CSVGElementShape::asShape(element);
        if (shape && shape->isModified())
            shape->updateGeometry();
    }
    paintElements(&painter, view);
}
