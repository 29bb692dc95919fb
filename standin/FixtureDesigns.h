#pragma once

#include <QByteArray>
#include <QList>
#include <QPainterPath>
#include <QString>
#include <QStringList>

namespace standin {

// The designs that the stand-in's templates and records point at: car parts
// drawn here as outlines in millimetres, served as ".pdb" packages of their
// SVG text and as ".png" previews.
class FixtureDesigns
{
public:
    FixtureDesigns();

    QStringList names() const;
    bool contains(const QString& name) const;
    QString svg(const QString& name) const;
    // The pieces as drawn, each with its cut-outs as further sub-paths.
    QList<QPainterPath> pieces(const QString& name) const;
    // Ten random letters, then the Base64 of the SVG text's UTF-8.
    QByteArray package(const QString& name) const;
    QByteArray preview(const QString& name) const;

    // Small images of the image host.
    static QByteArray homeIcon();
    static QByteArray placeholder();

private:
    // One piece: its outline, then its cut-outs; written as one path of
    // sub-paths, or as a group of paths.
    struct Piece
    {
        QList<QPainterPath> parts;
        bool grouped;
        QPainterPath path() const;
    };
    struct Design
    {
        QString name;
        QString title;
        QList<Piece> pieces;
        QRectF bounds() const;
    };
    const Design* find(const QString& name) const;
    static QString pathData(const QPainterPath& path);
    static QByteArray png(const QImage& image);

    QList<Design> m_designs;
};

} // namespace standin
