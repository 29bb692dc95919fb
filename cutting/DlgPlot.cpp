#include "DlgPlot.h"

#include "CSVGDocument.h"
#include "ConsumptionArea.h"
#include "CutRecord.h"
#include "FilePlotter.h"
#include "HpglJob.h"
#include "InterfaceLocale.h"
#include "JobPlacement.h"
#include "NumberField.h"
#include "PlotterThread.h"
#include "PrinterList.h"
#include "Prompt.h"
#include "SerialPlotter.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPixmap>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QVBoxLayout>
#include <QtConcurrent>

#include <algorithm>
#include <cmath>

namespace {
const int kPreviewWidth = 512;
const int kPreviewMinHeight = 32;
const int kPreviewMaxHeight = 1024;
// What a window manager adds around the dialog: a title bar and borders.
const QMargins kWindowFrame(8, 40, 8, 8);
// Outside pieces named one by one in a question; the dialog's log names all.
const int kOutsideListed = 10;
// The output cut to last, a file as well as a port.
const char* const kOutputKey = "device/output";

// Printer-class USB cutters, then USB-serial ones.
QStringList deviceFiles()
{
    QStringList files;
    for (const auto& place :
        { std::make_pair("/dev/usb", "lp*"), std::make_pair("/dev", "ttyUSB*"), std::make_pair("/dev", "ttyACM*") }) {
        const QDir folder(QLatin1String(place.first));
        for (const QString& name : folder.entryList({ QLatin1String(place.second) }, QDir::System, QDir::Name))
            files << folder.filePath(name);
    }
    return files;
}
} // namespace

DlgPlot::DlgPlot(CSVGDocument* document, const QString& jobName, QWidget* parent)
    : TranslatedDialog(parent)
    , m_document(document)
    , m_jobName(jobName)
{
    buildLayout();
    retranslateUi();
    if (m_document) {
        m_pageText = m_document->pageToSvgText(-1, 0.0, -1, -1, false);
        m_outside = m_document->piecesOutsidePage();
    }
    placeForDevice();
    QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
    fitToScreen(screen ? screen->availableGeometry() : QRect(0, 0, 1024, 660));
    reportPieces();
    connect(&m_conversion, &QFutureWatcherBase::finished, this, &DlgPlot::converted);
    const QPointer<DlgPlot> alive(this);
    PrinterList::fetch([alive](bool listed, const QList<DeviceRecord>& devices, const QString& message) {
        if (alive)
            alive->listDevices(listed, devices, message);
    });
}

DlgPlot::~DlgPlot()
{
    m_stopping = true;
    delete m_plotter;
    m_conversion.waitForFinished();
    // A conversion that had already finished hands its last writes over by
    // the lock alone: the future's own is not one ThreadSanitizer sees.
    {
        std::lock_guard<std::mutex> guard(m_conversionLock);
    }
    delete m_area;
}

void DlgPlot::buildLayout()
{
    m_previewLabel = new QLabel(this);
    m_previewLabel->setObjectName(QStringLiteral("preview"));
    m_countLabel = new QLabel(this);
    m_countLabel->setObjectName(QStringLiteral("pieceCount"));
    m_areaLabel = new QLabel(this);
    m_areaLabel->setObjectName(QStringLiteral("area"));
    m_device = new QComboBox(this);
    m_device->setObjectName(QStringLiteral("device"));
    m_port = new QComboBox(this);
    m_port->setObjectName(QStringLiteral("port"));
    m_port->setEditable(true);
    m_port->addItems(deviceFiles());
    const QString lastOutput = QSettings().value(QLatin1String(kOutputKey)).toString();
    if (!lastOutput.isEmpty())
        m_port->setCurrentText(lastOutput);
    m_file = new QPushButton(this);
    m_file->setObjectName(QStringLiteral("chooseFile"));
    m_frameLength = new NumberField(this);
    m_frameLength->setObjectName(QStringLiteral("frameLength"));
    m_frameLength->setRange(100, 100000);
    m_frameLength->setUnit(NumberField::Unit::Millimetre);
    m_frameLength->setValue(kDefaultFrameLength);
    m_resolution = new QLabel(this);
    m_resolution->setObjectName(QStringLiteral("resolution"));
    m_resolution->setWordWrap(true);
    m_status = new QListWidget(this);
    m_status->setObjectName(QStringLiteral("status"));
    // Lines naming pieces and refusals are long: on a small screen they
    // wrap to the list's width instead of hiding their end sideways.
    m_status->setWordWrap(true);
    m_status->setResizeMode(QListView::Adjust);
    m_status->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QStringLiteral("progress"));
    m_progress->setRange(0, 100);
    m_progress->setValue(0);
    m_cut = new QPushButton(this);
    m_cut->setObjectName(QStringLiteral("cut"));
    m_stop = new QPushButton(this);
    m_stop->setObjectName(QStringLiteral("stop"));
    m_stop->setEnabled(false);
    m_close = new QPushButton(this);
    m_close->setObjectName(QStringLiteral("close"));

    auto* portRow = new QHBoxLayout;
    portRow->addWidget(m_port, 1);
    portRow->addWidget(m_file);
    auto* form = new QFormLayout;
    for (int row = 0; row < 6; ++row)
        m_rowLabels << new QLabel(this);
    form->addRow(m_rowLabels[0], m_countLabel);
    form->addRow(m_rowLabels[1], m_areaLabel);
    form->addRow(m_rowLabels[2], m_device);
    form->addRow(m_rowLabels[3], portRow);
    form->addRow(m_rowLabels[4], m_resolution);
    form->addRow(m_rowLabels[5], m_frameLength);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_cut);
    buttons->addWidget(m_stop);
    buttons->addWidget(m_close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_previewLabel, 0, Qt::AlignCenter);
    layout->addLayout(form);
    layout->addWidget(m_status, 1);
    layout->addWidget(m_progress);
    layout->addLayout(buttons);

    connect(m_file, &QPushButton::clicked, this, &DlgPlot::chooseFile);
    connect(m_cut, &QPushButton::clicked, this, &DlgPlot::startCutting);
    connect(m_stop, &QPushButton::clicked, this, &DlgPlot::stopCutting);
    connect(m_close, &QPushButton::clicked, this, &DlgPlot::reject);
    connect(m_device, QOverload<int>::of(&QComboBox::currentIndexChanged), this, [this](int index) {
        if (index >= 0 && index < m_devices.size() && !m_devices.at(index).port().isEmpty())
            m_port->setCurrentText(m_devices.at(index).port());
        showResolution();
        placeForDevice();
    });
}

// The record of a device may name a resolution of its own; the user's
// setting is the one cut with, and the line says so where the two differ.
void DlgPlot::showResolution()
{
    const DeviceRecord device = chosenDevice();
    const auto value = [](const QVariant& number) {
        return number.isNull() ? QString() : InterfaceLocale::number(number.toDouble());
    };
    const QString x = value(device.setting(QStringLiteral("PlotResolutionX")));
    const QString y = value(device.setting(QStringLiteral("PlotResolutionY")));
    const QString ownX = value(device.ownSetting(QStringLiteral("PlotResolutionX")));
    const QString ownY = value(device.ownSetting(QStringLiteral("PlotResolutionY")));
    if ((ownX.isEmpty() || ownX == x) && (ownY.isEmpty() || ownY == y)) {
        m_resolution->setText(tr("%1 × %2 units per inch").arg(x, y));
        return;
    }
    m_resolution->setText(tr("%1 × %2 units per inch: your Resolution setting wins over the device record's %3 × %4")
                              .arg(x, y, ownX.isEmpty() ? x : ownX, ownY.isEmpty() ? y : ownY));
}

void DlgPlot::retranslateUi()
{
    setWindowTitle(tr("Cutting"));
    const QStringList rows { tr("Pieces"), tr("Area"), tr("Device"), tr("Output"), tr("Resolution"),
        tr("Frame length") };
    for (int row = 0; row < rows.size(); ++row)
        m_rowLabels[row]->setText(rows[row]);
    showPieceCount();
    showArea();
    showResolution();
    m_file->setText(tr("File…"));
    m_cut->setText(tr("Cut"));
    m_stop->setText(tr("Stop"));
    m_close->setText(tr("Close"));
}

// The area is that of the pieces cut: no hidden piece, none off the page.
// The outlines are copied here: the worker never touches an element. A
// result of an earlier job's area that is still on its way goes with it.
void DlgPlot::startArea(const QList<QPainterPath>& pieces)
{
    delete m_area;
    m_areaSum = -1.0;
    m_area = new ConsumptionArea(pieces, this);
    connect(m_area, &ConsumptionArea::areaReady, m_area, [this](double area) {
        m_areaSum = area;
        showArea();
    });
    m_area->start();
    showArea();
}

void DlgPlot::placeJob(const std::wstring& pageText, const CSVGDocument& document, const DeviceRecord& device,
    CSVGDocument& work, QVector<QRectF>* offPage, QVector<QRectF>* acrossEdge)
{
    work.parseSvgText(pageText, false, false);
    // The end line spans the page, and the single frame is the page.
    work.setPageRect(document.getPageRect());
    work.setPageMatrix(document.getPageMatrix());
    JobPlacement(device).placeOnPage(work, offPage, acrossEdge);
}

void DlgPlot::placeForDevice()
{
    const DeviceRecord device = chosenDevice();
    auto placement = std::make_unique<JobPlacement>(device);
    if (m_placement && *m_placement == *placement)
        return;
    const bool opening = !m_placement;
    m_placement = std::move(placement);
    CSVGDocument work;
    m_placedOff.clear();
    m_acrossEdge.clear();
    if (m_document && !m_pageText.empty())
        placeJob(m_pageText, *m_document, device, work, &m_placedOff, &m_acrossEdge);
    m_jobText = m_pageText.empty() ? std::wstring() : work.toSvgText();
    m_jobBox = work.getContentBoundingRect().intersected(work.getMappedPageRect().toQRectF());
    startArea(ConsumptionArea::piecePaths(work.getOwnerSvg()));
    if (opening)
        return;
    showPreview(m_previewHeight);
    reportPlacement();
}

void DlgPlot::showArea()
{
    m_areaLabel->setText(
        m_areaSum < 0 ? tr("Calculating…") : tr("%1 m²").arg(InterfaceLocale::fixed(m_areaSum / 1e6, 2)));
}

// The drawing fills the preview: on a page the length of a roll, a door
// would be a speck. A tall drawing is held to the height given, and is
// drawn whole, narrower.
void DlgPlot::showPreview(int maxHeight)
{
    m_previewHeight = maxHeight;
    const QRectF drawing = m_jobBox;
    const int height = drawing.width() > 0
        ? int(std::clamp(std::round(kPreviewWidth * drawing.height() / drawing.width()), double(kPreviewMinHeight),
            double(std::max(kPreviewMinHeight, maxHeight))))
        : std::min(kPreviewWidth, maxHeight);
    // Without a page the text's own box is what is fitted.
    QRectF noPage;
    CSVGDocument::renderSvgToImage(m_preview, m_pieceCount, m_jobText, kPreviewWidth, height, noPage, 0);
    if (m_jobText.empty())
        m_pieceCount = 0;
    m_previewLabel->setPixmap(QPixmap::fromImage(m_preview));
    showPieceCount();
    m_cut->setEnabled(m_pieceCount > 0);
}

// The count is never fewer than the pieces drawn without saying so.
void DlgPlot::showPieceCount()
{
    const int outside = m_outside.size() + m_placedOff.size();
    m_countLabel->setText(outside == 0
            ? QString::number(m_pieceCount)
            : tr("%1, and %2 outside the page that are not cut").arg(m_pieceCount).arg(outside));
}

void DlgPlot::reportPieces()
{
    if (m_pieceCount == 0)
        addStatus(tr("No pieces to cut!"), Qt::darkRed);
    for (const QRectF& piece : qAsConst(m_outside))
        addStatus(tr("Not cut, outside the page: %1").arg(pieceText(piece)), Qt::darkRed);
    reportPlacement();
}

void DlgPlot::reportPlacement()
{
    for (const QRectF& piece : qAsConst(m_placedOff))
        addStatus(tr("Not cut, off the page once turned, mirrored or aligned as the cut settings say: %1")
                      .arg(pieceText(piece)),
            Qt::darkRed);
    for (const QRectF& piece : qAsConst(m_acrossEdge))
        addStatus(acrossEdgeText(piece), Qt::darkRed);
}

QString DlgPlot::acrossEdgeText(const QRectF& piece)
{
    return tr("Turned, mirrored or aligned as the cut settings say, %1 crosses the page's edge.").arg(pieceText(piece));
}

QString DlgPlot::pieceText(const QRectF& piece)
{
    return tr("a piece of %1 × %2 mm at (%3, %4) mm")
        .arg(CSVGDocument::millimetreText(piece.width()), CSVGDocument::millimetreText(piece.height()),
            CSVGDocument::millimetreText(piece.left()), CSVGDocument::millimetreText(piece.top()));
}

QString DlgPlot::outsideNote(const QVector<QRectF>& outside)
{
    if (outside.isEmpty())
        return QString();
    QStringList lines { tr("Pieces outside the page, which will not be cut: %1").arg(outside.size()) };
    for (int i = 0; i < outside.size() && i < kOutsideListed; ++i)
        lines << pieceText(outside.at(i));
    if (outside.size() > kOutsideListed)
        lines << tr("and %1 more, listed in the cut dialog").arg(outside.size() - kOutsideListed);
    return lines.join(QLatin1Char('\n'));
}

// The rest of the dialog keeps its preferred size; the preview gets the
// height left. The dialog lies over its parent where the screen allows.
void DlgPlot::fitToScreen(const QRect& available)
{
    const QRect inside = available.marginsRemoved(kWindowFrame);
    const int others = sizeHint().height() - m_previewLabel->sizeHint().height();
    showPreview(std::min(kPreviewMaxHeight, inside.height() - others));
    // Not adjustSize(): it holds a window to two thirds of the screen.
    resize(sizeHint().boundedTo(inside.size()));
    const QWidget* over = parentWidget() ? parentWidget()->window() : nullptr;
    QRect placed(QPoint(), size());
    placed.moveCenter(over ? over->geometry().center() : inside.center());
    placed.moveLeft(std::max(inside.left(), std::min(placed.left(), inside.right() + 1 - placed.width())));
    placed.moveTop(std::max(inside.top(), std::min(placed.top(), inside.bottom() + 1 - placed.height())));
    // The frame's corner: the window manager puts the title bar above.
    move(placed.topLeft() - QPoint(kWindowFrame.left(), kWindowFrame.top()));
}

void DlgPlot::listDevices(bool listed, const QList<DeviceRecord>& devices, const QString& message)
{
    const QString typed = m_port->currentText();
    m_devices = devices;
    if (!listed)
        addStatus(tr("The device list is not available: %1").arg(message), Qt::darkRed);
    // Without a listed device the user's own plotter settings apply.
    if (m_devices.isEmpty())
        m_devices << DeviceRecord();
    for (const DeviceRecord& device : qAsConst(m_devices))
        m_device->addItem(device.name().isEmpty() ? tr("Plotter") : device.name());
    // A port the user already chose stays.
    if (!typed.isEmpty())
        m_port->setCurrentText(typed);
}

void DlgPlot::chooseFile()
{
    const QString path
        = Prompt::getSaveFileName(this, tr("Cut to file"), QDir::homePath(), QStringLiteral("HPGL (*.plt *.hpgl)"));
    if (!path.isEmpty())
        m_port->setCurrentText(path);
}

DeviceRecord DlgPlot::chosenDevice() const
{
    const int index = m_device->currentIndex();
    return index >= 0 && index < m_devices.size() ? m_devices.at(index) : DeviceRecord();
}

QStringList DlgPlot::sectionTexts(const std::wstring& pageText, const CSVGDocument& document, double frameLength,
    const DeviceRecord& device, QString* error)
{
    if (pageText.empty()) {
        *error = tr("No pieces to cut!");
        return {};
    }
    CSVGDocument work;
    QVector<QRectF> offPage;
    QVector<QRectF> acrossEdge;
    placeJob(pageText, document, device, work, &offPage, &acrossEdge);
    if (!acrossEdge.isEmpty()) {
        *error = acrossEdgeText(acrossEdge.first());
        return {};
    }
    if (work.getContentBoundingRect().isNull()) {
        *error = tr("No pieces to cut!");
        return {};
    }
    CSVGDocument::PlotOutcome outcome = CSVGDocument::PlotOutcome::NoSections;
    const std::vector<std::wstring> sections = work.buildPlotSections(frameLength, true, &outcome);
    QStringList texts;
    switch (outcome) {
    case CSVGDocument::PlotOutcome::Sections:
        for (const std::wstring& section : sections)
            texts << QString::fromStdWString(section);
        return texts;
    case CSVGDocument::PlotOutcome::Overlapping:
        *error = tr("Pieces overlap one another");
        return {};
    case CSVGDocument::PlotOutcome::TooManySections:
        *error = tr("The drawing needs more than %1 frames").arg(CSVGDocument::kMaxPlotSections);
        return {};
    case CSVGDocument::PlotOutcome::NoSections:
        break;
    }
    // Within one frame: the drawing and its end line as the first frame's
    // polylines.
    if (!work.getOwnerSvg() || !(frameLength > 0)) {
        *error = tr("No pieces to cut!");
        return {};
    }
    // The end line may reach past the page's grown edge.
    CSVGRect region;
    region.setFromQRectF(work.getMappedPageRect().toQRectF().united(work.getContentBoundingRect()));
    CSVGDocument frame;
    frame.parseSvgText(work.toSvgText(region, -1, 0.0, -1, -1, true), false, false);
    frame.keepSectionRange(QRectF(0.0, -999999.0, frameLength, 1999998.0), 0.0, 0, 0);
    texts << QString::fromStdWString(frame.toSvgText());
    return texts;
}

bool DlgPlot::isRunning() const
{
    return m_conversion.isRunning() || (m_plotter && m_plotter->isRunning());
}

void DlgPlot::startCutting()
{
    if (isRunning() || m_pieceCount < 1 || !NumberField::refuseInvalid(this).isEmpty())
        return;
    if (!m_acrossEdge.isEmpty()) {
        Prompt::warning(this, tr("Warning"), acrossEdgeText(m_acrossEdge.first()));
        return;
    }
    const QString note = outsideNote(allOutside());
    const QString question = tr("Cutting will be start, do you want to continue?");
    if (Prompt::question(this, tr("Tips"), note.isEmpty() ? question : note + QStringLiteral("\n\n") + question)
        != QMessageBox::Yes)
        return;
    m_jobPort = m_port->currentText().trimmed();
    if (m_jobPort.isEmpty()) {
        Prompt::warning(this, tr("Warning"), tr("Choose the plotter's port or a file to cut to."));
        return;
    }
    rememberOutput();
    m_progress->setValue(0);
    m_stopping = false;
    m_stopTaken = true;
    m_endingOnLine = false;
    m_closing = false;
    m_jobDevice = chosenDevice();
    QString error;
    const QStringList sections = sectionTexts(m_pageText, *m_document, m_frameLength->value(), m_jobDevice, &error);
    if (sections.isEmpty()) {
        endJob(false, error);
        return;
    }
    addStatus(tr("Converting %n frame(s)", nullptr, sections.size()), Qt::black);
    setBusy(true);
    const DeviceRecord device = m_jobDevice;
    m_conversion.setFuture(QtConcurrent::run(&m_conversionPool, [this, sections, device]() {
        Conversion result;
        HpglJob::build(sections, device, &result.hpgl, &result.error);
        std::lock_guard<std::mutex> guard(m_conversionLock);
        m_converted = std::move(result);
    }));
}

void DlgPlot::converted()
{
    m_conversionPool.waitForDone();
    Conversion result;
    {
        std::lock_guard<std::mutex> guard(m_conversionLock);
        result = std::move(m_converted);
        m_converted = Conversion();
    }
    if (m_stopping)
        endJob(false, tr("Stopped"));
    else if (result.hpgl.isEmpty())
        endJob(false, result.error);
    else
        send(result.hpgl);
}

void DlgPlot::send(const QByteArray& hpgl)
{
    AbstractPlotter* driver = nullptr;
    if (m_jobDevice.isSerial() && m_jobPort.startsWith(QLatin1String("/dev/")))
        driver = new SerialPlotter(m_jobDevice.withPort(m_jobPort));
    else
        driver = new FilePlotter(m_jobPort);
    driver->setData(hpgl, HpglJob::closing(m_jobDevice));
    delete m_plotter;
    m_plotter = new PlotterThread(driver, this);
    connect(driver, &AbstractPlotter::progress, m_progress, &QProgressBar::setValue);
    connect(driver, &AbstractPlotter::status, this, &DlgPlot::addStatus);
    connect(driver, &AbstractPlotter::stopped, this, &DlgPlot::stopEnded);
    connect(driver, &AbstractPlotter::finished, this, &DlgPlot::sent);
    m_plotter->start();
}

// A regular file holds what it was given; a device may still hold much of
// the job (a pseudo-terminal or a printer-class port does not say how much),
// which the plotter reads before the ending.
void DlgPlot::stopEnded(bool taken)
{
    m_stopTaken = taken;
    m_endingOnLine = taken && !QFileInfo(m_jobPort).isFile();
}

void DlgPlot::sent(bool success)
{
    endJob(success, QString());
    if (success)
        saveRecord();
    if (m_closing)
        QDialog::reject();
}

void DlgPlot::stopCutting()
{
    if (m_stopping || !isRunning())
        return;
    m_stopping = true;
    m_stop->setEnabled(false);
    if (m_plotter && m_plotter->isRunning()) {
        addStatus(tr("Stopping after the command under way, with the knife lifted…"), Qt::black);
        m_plotter->stop();
    }
}

// Closing ends a conversion at once (the destructor waits for it), but the
// output first takes the end of the job, however slowly the plotter reads.
void DlgPlot::reject()
{
    rememberOutput();
    const bool sending = m_plotter && m_plotter->isRunning();
    if (sending && !m_closing)
        // One literal, so that the text reads as its language-file key.
        // clang-format off
        addStatus(tr("The dialog closes once the end of the job has been handed to the output; a plotter receives it after what its line still holds."),
            Qt::black);
        // clang-format on
    m_closing = true;
    stopCutting();
    if (!sending)
        QDialog::reject();
}

void DlgPlot::rememberOutput()
{
    const QString output = m_port->currentText().trimmed();
    if (!output.isEmpty())
        QSettings().setValue(QLatin1String(kOutputKey), output);
}

void DlgPlot::endJob(bool sent, const QString& reason)
{
    setBusy(false);
    if (!reason.isEmpty())
        addStatus(reason, m_stopping ? Qt::black : Qt::darkRed);
    // clang-format off
    const QString stopped = m_endingOnLine
        ? tr("The cut job was stopped. Its ending has been handed to the port; the plotter receives it after what the line still holds.")
        : tr("The cut job was stopped.");
    // clang-format on
    if (m_stopping && m_endingOnLine)
        addStatus(stopped, Qt::black);
    // A job ended by closing the dialog needs no message, unless the plotter
    // may be left with its knife down; one the user stopped did not fail.
    if (m_stopping && !m_stopTaken)
        Prompt::warning(this, tr("Warning"), AbstractPlotter::stopNotTakenText());
    else if (!m_closing && sent)
        Prompt::information(this, tr("Tips"), tr("Data Transmission Completed"));
    else if (!m_closing && m_stopping)
        Prompt::information(this, tr("Tips"), stopped);
    else if (!m_closing)
        Prompt::warning(this, tr("Warning"), tr("Data Transmission Failed"));
    emit jobEnded(sent);
}

void DlgPlot::saveRecord()
{
    m_area->wait();
    const double area = m_area->isComplete() ? m_area->area() : 0.0;
    const QString name = m_jobName.isEmpty() ? QFileInfo(m_jobPort).fileName() : m_jobName;
    const QPointer<DlgPlot> alive(this);
    CutRecord::save(
        QString::fromStdWString(m_pageText), m_preview, name, area, [alive](bool saved, const QString& message) {
            if (!alive)
                return;
            alive->addStatus(saved ? tr("The cut is recorded.") : message, saved ? Qt::black : Qt::darkRed);
            emit alive->recordSaved(saved, message);
        });
}

void DlgPlot::addStatus(const QString& text, const QColor& color)
{
    auto* line = new QListWidgetItem(text, m_status);
    line->setForeground(color);
    m_status->scrollToItem(line);
}

void DlgPlot::setBusy(bool busy)
{
    m_cut->setEnabled(!busy && m_pieceCount > 0);
    m_stop->setEnabled(busy);
    m_device->setEnabled(!busy);
    m_port->setEnabled(!busy);
    m_frameLength->setEnabled(!busy);
}
