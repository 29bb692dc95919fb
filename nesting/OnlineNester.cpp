#include "OnlineNester.h"

#include "CGlobalConfig.h"
#include "RefusalText.h"
#include "Worker.h"

#include <cmath>

using namespace Vantor::Placement;

OnlineNester::OnlineNester(QObject* parent)
    : QObject(parent)
{
    qRegisterMetaType<QVector<PlacementInfo>>();
    connect(&m_poll, &QTimer::timeout, this, &OnlineNester::poll);
}

OnlineNester::~OnlineNester()
{
    finish();
}

void OnlineNester::start(const QString& name, const QVector<PieceInfo>& pieces, const PlacementSettings& settings)
{
    finish();
    m_worker = std::make_unique<Worker>();
    m_worker->setTimeout(m_timeout);
    connect(m_worker.get(), &Worker::replied, this, &OnlineNester::handleReplies);
    m_worker->start();
    m_submit = InternetNester::submitCommand(name, pieces, settings);
    m_stage = Stage::Counting;
    post(InternetNester::listCommand());
}

void OnlineNester::cancel()
{
    if (m_worker && !m_job.isEmpty())
        m_worker->post(InternetNester::jobCommand(QStringLiteral("cancel"), m_job));
    finish(true);
}

void OnlineNester::post(const CommandParameter& command)
{
    m_waiting = true;
    m_worker->post(command);
}

void OnlineNester::poll()
{
    if (m_stage == Stage::Running && !m_waiting)
        post(InternetNester::jobCommand(QStringLiteral("status"), m_job));
}

void OnlineNester::handleReplies()
{
    if (!m_worker)
        return;
    for (const Worker::Reply& reply : m_worker->takeReplies()) {
        m_waiting = false;
        handle(reply.text);
    }
}

void OnlineNester::handle(const QString& reply)
{
    QString message;
    switch (m_stage) {
    case Stage::Idle:
        return;
    case Stage::Counting: {
        int running = 0;
        if (!InternetNester::readRunningCount(reply, running, message))
            return fail(message);
        const int allowed = std::max(1, g_config.getSetting(QStringLiteral("NestingMaxJob")).toInt());
        if (running >= allowed)
            return fail(tr("At most %1 nesting jobs may run at once; wait until one has finished.").arg(allowed));
        m_stage = Stage::Submitting;
        return post(m_submit);
    }
    case Stage::Submitting:
        if (!InternetNester::readJobId(reply, m_job, message))
            return fail(message);
        m_stage = Stage::Running;
        m_poll.start(pollInterval());
        emit jobStarted(m_job);
        return;
    case Stage::Running: {
        InternetNester::JobState state;
        if (!InternetNester::readState(reply, state, message))
            return fail(message);
        if (state.state == QLatin1String("failed"))
            return fail(RefusalText::of(state.refusal, state.error));
        emit progress(state.placed, state.pieces);
        if (state.state == QLatin1String("finished")) {
            m_stage = Stage::Fetching;
            post(InternetNester::jobCommand(QStringLiteral("result"), m_job));
        }
        return;
    }
    case Stage::Fetching: {
        QVector<PlacementInfo> placements;
        double length = 0;
        if (!InternetNester::readPlacements(reply, placements, length, message))
            return fail(message);
        finish();
        emit finished(placements, length);
        return;
    }
    }
}

void OnlineNester::fail(const QString& message)
{
    finish();
    emit failed(message.isEmpty() ? tr("The nesting failed.") : message);
}

void OnlineNester::finish(bool drain)
{
    m_stage = Stage::Idle;
    m_poll.stop();
    m_waiting = false;
    if (m_worker) {
        // Replies still queued for this object find no worker and go.
        disconnect(m_worker.get(), nullptr, this, nullptr);
        if (drain)
            m_worker->drain();
        else
            m_worker->stop();
        m_worker.reset();
    }
}

int OnlineNester::pollInterval()
{
    const double seconds = g_config.getSetting(QStringLiteral("NestingInterval")).toDouble();
    return int(std::lround(1000 * (std::isfinite(seconds) ? std::clamp(seconds, 0.1, 3600.0) : 1.0)));
}
