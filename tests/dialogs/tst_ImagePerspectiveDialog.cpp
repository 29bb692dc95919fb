#include "BackgroundRemovalServer.h"
#include "ImagePerspectiveDialog.h"
#include "ImageWidget.h"
#include "Prompt.h"
#include "TestEnvironment.h"
#include "TestImages.h"

#include <QLabel>
#include <QPainter>
#include <QSettings>

#include <cmath>

class tst_ImagePerspectiveDialog : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase() { Prompt::setHandler(nullptr); }
    void traceRing();
    void squareSeenAskew();
    void dragCorner();
    void removeBackground();
    void refuseUnreadable();
    void notesForTheUserOnly();

private:
    QString save(const QImage& image, const QString& name);
    QTemporaryDir m_folder;
    QStringList m_warnings;
};

void tst_ImagePerspectiveDialog::initTestCase()
{
    Prompt::setHandler([this](Prompt::Kind, const QString&, const QString& text) {
        m_warnings << text;
        return QVariant(int(QMessageBox::Ok));
    });
}

QString tst_ImagePerspectiveDialog::save(const QImage& image, const QString& name)
{
    const QString path = m_folder.filePath(name);
    image.save(path);
    return path;
}

// A ring drawn black on white: one outer outline with one hole, each
// within a pixel of its circle.
void tst_ImagePerspectiveDialog::traceRing()
{
    ImagePerspectiveDialog dialog(false);
    QVERIFY(dialog.setImage(save(ringImage(), "ring.png")));
    dialog.accept();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    const QList<HelmSystem::Polygon> polygons = dialog.getPolygons();
    QCOMPARE(polygons.size(), 1);
    QCOMPARE(polygons.first().inners.size(), 1);
    for (const auto& [ring, radius] :
        { std::pair(polygons.first().outer, 100.0), { polygons.first().inners.first(), 50.0 } })
        for (const QPointF& p : ring)
            QVERIFY2(
                std::abs(QLineF(p, QPointF(150, 150)).length() - radius) < 1.0, qPrintable(QString::number(radius)));
}

// A square on a square sheet, photographed from aside; with the corners on
// the sheet's corners the square comes back square.
void tst_ImagePerspectiveDialog::squareSeenAskew()
{
    // The sheet in the camera's frame: turned about both axes, 5 units away;
    // a camera of focal length 700 pixels looking at the picture's centre.
    const auto project = [](double x, double y) {
        const double a = 35 * M_PI / 180, b = 25 * M_PI / 180;
        const double y1 = y * std::cos(a), z1 = y * std::sin(a);
        const double x2 = x * std::cos(b) + z1 * std::sin(b), z2 = -x * std::sin(b) + z1 * std::cos(b) + 5;
        return QPointF(400 + 700 * x2 / z2, 300 + 700 * y1 / z2);
    };
    const auto quad = [&](double half) {
        return QPolygonF({ project(-half, -half), project(half, -half), project(half, half), project(-half, half) });
    };
    QImage image(800, 600, QImage::Format_RGB32);
    image.fill(QColor(200, 200, 200));
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    painter.drawPolygon(quad(1));
    painter.setBrush(Qt::black);
    painter.drawPolygon(quad(0.5));
    painter.end();

    ImagePerspectiveDialog dialog(true);
    QVERIFY(dialog.setImage(save(image, "askew.png")));
    dialog.findChild<ImageWidget*>()->setCorners(quad(1));
    dialog.accept();
    QCOMPARE(dialog.getPolygons().size(), 1);
    const QPolygonF square = dialog.getPolygons().first().outer;
    const QRectF bounds = square.boundingRect();
    double area = 0;
    for (int i = 0; i < square.size(); ++i)
        area += square[i].x() * square[(i + 1) % square.size()].y()
            - square[(i + 1) % square.size()].x() * square[i].y();
    QVERIFY2(std::abs(bounds.width() / bounds.height() - 1) < 0.02,
        qPrintable(QString::number(bounds.width() / bounds.height())));
    QVERIFY(std::abs(std::abs(area / 2) / (bounds.width() * bounds.height()) - 1) < 0.03);
}

void tst_ImagePerspectiveDialog::dragCorner()
{
    QImage image(400, 300, QImage::Format_RGB32);
    image.fill(Qt::white);
    ImagePerspectiveDialog dialog(true);
    QVERIFY(dialog.setImage(save(image, "blank.png")));
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    auto* view = dialog.findChild<ImageWidget*>();
    const QPoint from = view->toWidget(view->corners().first()).toPoint();
    const QPoint to = from + QPoint(40, 30);
    QTest::mousePress(view, Qt::LeftButton, Qt::NoModifier, from);
    QMouseEvent move(QEvent::MouseMove, to, view->mapToGlobal(to), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view, &move);
    QTest::mouseRelease(view, Qt::LeftButton, Qt::NoModifier, to);
    QVERIFY(QLineF(view->corners().first(), view->toImage(to)).length() < 1.0);
    QCOMPARE(view->corners().at(2), QPointF(400, 300));
}

// The stand-in whitens the blue background and keeps the square; with the
// server gone the user is told and the picture stays.
void tst_ImagePerspectiveDialog::removeBackground()
{
    standin::BackgroundRemovalServer server;
    QVERIFY(server.start());
    QSettings().setValue(QStringLiteral("hpgl/ImageServer"), QStringLiteral("127.0.0.1:%1").arg(server.port()));
    QImage image(200, 200, QImage::Format_RGB32);
    image.fill(Qt::blue);
    QPainter(&image).fillRect(50, 50, 100, 100, Qt::black);
    ImagePerspectiveDialog dialog(false);
    QVERIFY(dialog.setImage(save(image, "blue.png")));
    auto* view = dialog.findChild<ImageWidget*>();
    QSignalSpy done(&dialog, &ImagePerspectiveDialog::backgroundRemovalFinished);

    dialog.removeBackground();
    QTRY_COMPARE_WITH_TIMEOUT(done.count(), 1, 20000);
    QCOMPARE(done.first().first().toBool(), true);
    QCOMPARE(view->image().pixel(5, 5), qRgb(255, 255, 255));
    QCOMPARE(view->image().pixel(100, 100), qRgb(0, 0, 0));

    server.stop();
    m_warnings.clear();
    dialog.removeBackground();
    QTRY_COMPARE_WITH_TIMEOUT(done.count(), 2, 20000);
    QCOMPARE(done.last().first().toBool(), false);
    QVERIFY(m_warnings.value(0).startsWith(QStringLiteral("The background could not be removed: ")));
    QCOMPARE(view->image().pixel(5, 5), qRgb(255, 255, 255));
}

// Text, and an SVG picture that shows itself, which Qt's reader would
// follow without end.
void tst_ImagePerspectiveDialog::refuseUnreadable()
{
    const QByteArray selfShowing = selfShowingSvg(m_folder.filePath("self.svg"));
    for (const auto& [name, content] : { std::pair<QString, QByteArray>("photo.png", "not a picture"),
             std::pair<QString, QByteArray>("self.svg", selfShowing) }) {
        QFile text(m_folder.filePath(name));
        QVERIFY(text.open(QIODevice::WriteOnly));
        text.write(content);
        text.close();
        m_warnings.clear();
        ImagePerspectiveDialog dialog(false);
        QVERIFY(!dialog.setImage(text.fileName()));
        QVERIFY(m_warnings.value(0).startsWith(QStringLiteral("The picture cannot be read: ")));
        dialog.accept();
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
    }
}

// The straightening tells how to place the corners; the plain tracing
// needs no words.
void tst_ImagePerspectiveDialog::notesForTheUserOnly()
{
    for (const bool perspective : { true, false }) {
        ImagePerspectiveDialog dialog(perspective);
        QStringList shown;
        for (const QLabel* label : dialog.findChildren<QLabel*>()) {
            if (label->isVisibleTo(&dialog) && !label->text().isEmpty())
                shown << label->text();
        }
        QCOMPARE(shown,
            perspective ? QStringList("Drag the four corners onto the corners of a rectangle in the picture.")
                        : QStringList());
    }
}

ZOCUT_TEST_MAIN(tst_ImagePerspectiveDialog)
#include "tst_ImagePerspectiveDialog.moc"
