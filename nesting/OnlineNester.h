#pragma once

#include "InternetNester.h"

#include <QObject>
#include <QTimer>

#include <memory>

class Worker;

// Runs one job on the nesting server for a dialog: checks that the account
// may start another job ("NestingMaxJob"), sends the pieces, asks for the
// job's state every "NestingInterval" seconds and fetches the placements.
// The calls run on a Worker thread; the dialog only sees the signals, and
// after finished() or failed() nothing more comes.
class OnlineNester : public QObject
{
    Q_OBJECT
public:
    explicit OnlineNester(QObject* parent = nullptr);
    ~OnlineNester() override;

    void start(const QString& name, const QVector<Vantor::Placement::PieceInfo>& pieces,
        const Vantor::Placement::PlacementSettings& settings);
    // Asks the server to drop the job and waits for that (at most two
    // calls' time); signals nothing more.
    void cancel();
    bool isRunning() const { return m_stage != Stage::Idle; }
    QString jobId() const { return m_job; }
    // For each network operation; for tests of a silent server.
    void setTimeout(int milliseconds) { m_timeout = milliseconds; }

signals:
    void jobStarted(const QString& job);
    void progress(int placed, int pieces);
    void finished(const QVector<Vantor::Placement::PlacementInfo>& placements, double rollLength);
    void failed(const QString& message);

private slots:
    void handleReplies();
    void poll();

private:
    enum class Stage { Idle, Counting, Submitting, Running, Fetching };

    void handle(const QString& reply);
    void fail(const QString& message);
    // Ends the worker: with drain, after the commands posted.
    void finish(bool drain = false);
    void post(const CommandParameter& command);
    static int pollInterval();

    Stage m_stage = Stage::Idle;
    std::unique_ptr<Worker> m_worker;
    QTimer m_poll;
    bool m_waiting = false;
    QString m_job;
    CommandParameter m_submit;
    int m_timeout = 10000;
};
