#pragma once

#include "DeviceRecord.h"

#include "TranslatedDialog.h"

#include <QByteArray>
#include <QFutureWatcher>
#include <QImage>
#include <QList>
#include <QPainterPath>
#include <QRect>
#include <QRectF>
#include <QStringList>
#include <QThreadPool>
#include <QVector>

#include <memory>
#include <mutex>
#include <string>

class CSVGDocument;
class ConsumptionArea;
class JobPlacement;
class NumberField;
class PlotterThread;
class QComboBox;
class QLabel;
class QListWidget;
class QProgressBar;
class QPushButton;

// The cut dialog: shows the page and its piece count, sums the pieces'
// area on a worker thread, and on request cuts the page frame by frame: one
// section per frame, converted to HPGL, framed for the chosen device and
// sent to its device file or serial port (or to a file). A job that went
// out whole is recorded in the account's crop records. The pieces that lie
// outside the page are named, and the user asked about them, before
// anything is cut.
class DlgPlot : public TranslatedDialog
{
    Q_OBJECT
public:
    // The length of one frame along the roll, in millimetres, until the
    // user changes it.
    static const int kDefaultFrameLength = 1000;

    DlgPlot(CSVGDocument* document, const QString& jobName, QWidget* parent = nullptr);
    // Stops a job and the area sum under way, and waits for both.
    ~DlgPlot() override;

    // The page text of the document placed on the film as the device's
    // settings say (JobPlacement) and cut into frames: one SVG text of
    // polylines per frame, each starting again at x = 0; a drawing within
    // one frame is one section. Pieces that the placing moves off the page
    // are left out. Empty, with the reason, when nothing can be cut, or when
    // a piece placed lies across the page's edge.
    static QStringList sectionTexts(const std::wstring& pageText, const CSVGDocument& document, double frameLength,
        const DeviceRecord& device, QString* error);

    // Each piece outside the page by its size and place, the first few of
    // them when there are many: what a question before cutting shows.
    static QString outsideNote(const QVector<QRectF>& outside);

    int pieceCount() const { return m_pieceCount; }
    bool isRunning() const;
    // Sizes the preview and places the dialog so that it lies whole, its
    // buttons too, within the screen area given. The constructor passes the
    // available area of its parent's screen.
    void fitToScreen(const QRect& available);

public slots:
    // Asks first; then converts and sends the page.
    void startCutting();
    // The job ends on a whole command with the knife up.
    void stopCutting();
    // A job under way is stopped first: the dialog closes once the output
    // has taken its ending.
    void reject() override;

signals:
    // After each job: sent whole or not, and whether its record is kept.
    void jobEnded(bool sent);
    void recordSaved(bool saved, const QString& message);

protected:
    void retranslateUi() override;

private:
    struct Conversion
    {
        QByteArray hpgl;
        QString error;
    };

    // The page text placed for the device into work, which takes the page of
    // the document; see JobPlacement::placeOnPage.
    static void placeJob(const std::wstring& pageText, const CSVGDocument& document, const DeviceRecord& device,
        CSVGDocument& work, QVector<QRectF>* offPage, QVector<QRectF>* acrossEdge);
    static QString acrossEdgeText(const QRectF& piece);
    // The job as the chosen device cuts it: its preview, count, area and
    // the pieces it leaves out, anew when the device places it otherwise.
    void placeForDevice();
    void startArea(const QList<QPainterPath>& pieces);

    void buildLayout();
    // The preview no taller than the limit, and the piece count.
    void showPreview(int maxHeight);
    void showPieceCount();
    // The status lines of the pieces found on opening.
    void reportPieces();
    // Those of the pieces that the device's placing leaves out.
    void reportPlacement();
    QVector<QRectF> allOutside() const { return m_outside + m_placedOff; }
    static QString pieceText(const QRectF& piece);
    void showArea();
    void listDevices(bool listed, const QList<DeviceRecord>& devices, const QString& message);
    void chooseFile();
    // The output chosen is the one offered at the next opening.
    void rememberOutput();
    DeviceRecord chosenDevice() const;
    void showResolution();
    void converted();
    void send(const QByteArray& hpgl);
    void stopEnded(bool taken);
    void sent(bool success);
    void endJob(bool sent, const QString& reason);
    void saveRecord();
    void addStatus(const QString& text, const QColor& color);
    void setBusy(bool busy);

    CSVGDocument* m_document;
    QString m_jobName;
    std::wstring m_pageText;
    // The page text as the chosen device places it, and the placement made.
    std::wstring m_jobText;
    QRectF m_jobBox;
    std::unique_ptr<JobPlacement> m_placement;
    QImage m_preview;
    int m_previewHeight = 0;
    int m_pieceCount = 0;
    // The boxes, as drawn, of the drawn pieces left out of the page's text,
    // and of those the placing moves off the page.
    QVector<QRectF> m_outside;
    QVector<QRectF> m_placedOff;
    // Placed across the page's edge: the job is refused.
    QVector<QRectF> m_acrossEdge;
    // Square metres; negative until the sum is in.
    double m_areaSum = -1.0;
    QList<DeviceRecord> m_devices;
    ConsumptionArea* m_area = nullptr;
    PlotterThread* m_plotter = nullptr;
    // The conversion runs on a thread of its own, started for each job and
    // ended when it is done: the job reaches it with the thread's start, and
    // its result comes back under the lock. ThreadSanitizer sees both; a
    // waiting thread of a pool takes its work through Qt's locks, which it
    // does not see.
    QThreadPool m_conversionPool;
    QFutureWatcher<void> m_conversion;
    std::mutex m_conversionLock;
    Conversion m_converted;
    DeviceRecord m_jobDevice;
    QString m_jobPort;
    bool m_stopping = false;
    // False once the plotter took nothing of a stopped job's ending.
    bool m_stopTaken = true;
    // The stopped job's ending went to a device, not to a file.
    bool m_endingOnLine = false;
    bool m_closing = false;

    QLabel* m_previewLabel;
    QLabel* m_countLabel;
    QLabel* m_areaLabel;
    QComboBox* m_device;
    QComboBox* m_port;
    NumberField* m_frameLength;
    QLabel* m_resolution;
    QListWidget* m_status;
    QProgressBar* m_progress;
    QPushButton* m_cut;
    QPushButton* m_stop;
    QPushButton* m_file;
    QPushButton* m_close;
    QList<QLabel*> m_rowLabels;
};
