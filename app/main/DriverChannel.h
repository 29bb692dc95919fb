#pragma once

#include <QJSValue>
#include <QLocalSocket>
#include <QObject>
#include <QVariant>

// A line-by-line JSON conversation between a driven run of the program and
// the test that runs it, over the local socket that the test listens on
// (named by the environment variable ZOCUT_DRIVER_CHANNEL). The test asks,
// the page driver answers. The channel is served by the program's event
// loop, so an answer also shows that the loop still turns.
class DriverChannel : public QObject
{
    Q_OBJECT
public:
    explicit DriverChannel(QObject* parent = nullptr);

    // The socket's name, empty when no test listens.
    static QString name();

    // A script object, written as one line of JSON.
    Q_INVOKABLE void send(const QJSValue& message);

signals:
    void received(const QVariant& message);

private:
    void readLines();

    QLocalSocket m_socket;
};
