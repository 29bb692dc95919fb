#pragma once

#include "Polygon.h"

#include "TranslatedDialog.h"

#include <QImage>
#include <QList>

class ImageWidget;
class QLabel;
class QNetworkAccessManager;
class QNetworkReply;
class QPushButton;

// Turns a photo into outlines: in perspective mode four corners mark a
// rectangle in the picture, which is straightened first; the background can
// be whitened by the background-removal server ("ImageServer"); on
// acceptance the dark areas are traced into outer polygons with their holes.
class ImagePerspectiveDialog : public TranslatedDialog
{
    Q_OBJECT
public:
    static constexpr qint64 kMaximumPixels = 30LL * 1000 * 1000;

    explicit ImagePerspectiveDialog(bool perspective, QWidget* parent = nullptr);

    // False, after telling the user, for a file that is no picture or too large.
    bool setImage(const QString& path);
    // The traced outlines, in pixels of the (straightened) picture; filled
    // on acceptance.
    QList<HelmSystem::Polygon> getPolygons() const { return m_polygons; }

public slots:
    void accept() override;
    void removeBackground();

signals:
    void backgroundRemovalFinished(bool succeeded);

protected:
    void retranslateUi() override;

private:
    void backgroundRemoved(QNetworkReply* reply);
    void showImage(const QImage& image);
    static QImage readImage(QIODevice* device, QString& message);
    QList<HelmSystem::Polygon> trace() const;

    bool m_perspective;
    ImageWidget* m_view;
    QPushButton* m_removeButton;
    QLabel* m_note;
    QPushButton* m_okButton;
    QNetworkAccessManager* m_network;
    QList<HelmSystem::Polygon> m_polygons;
};
