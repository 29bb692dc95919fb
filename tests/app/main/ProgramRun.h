#pragma once

#include <QLocalServer>
#include <QProcess>
#include <QString>
#include <QVariantMap>

class QLocalSocket;

// The whole program on this test's display, under a window manager, driven
// by the remote page driver over a local channel. Watches for what makes a
// run fail: the program ending, a sanitizer report or "pure virtual method
// called" in its output, and an event loop that answers nothing for 10 s.
class ProgramRun
{
public:
    static const int kSilentMs = 10000;

    // The program works in the folder and writes its output there.
    explicit ProgramRun(const QString& folder);
    ~ProgramRun();
    ProgramRun(const ProgramRun&) = delete;
    ProgramRun& operator=(const ProgramRun&) = delete;

    // The window manager, then the program, until its driver is on the line.
    bool start();
    // Signs in (in English) and waits for the editor: with a template opened
    // in the first tab, or with the new drawing.
    bool signIn(const QString& account, const QString& password, bool openTemplate);
    // Asks the driver and waits for its answer; an empty map when there is
    // none (then trouble() says why).
    QVariantMap ask(const QString& question, QVariantMap fields = {}, int timeoutMs = kSilentMs);
    // The event loop has come round since everything sent before.
    bool settle();

    // Waits, keeping this test's own events going.
    static void pause(int ms);

    // The first fault seen; empty while all is well. Checks again each time.
    QString trouble();
    // The end of the program's log (the driver's steps, the questions
    // asked) and of its output (where a sanitizer's report stands), for a
    // failure report.
    QString ending() const;

private:
    bool waitForMaximised();
    void scanOutput();
    void fail(const QString& problem);

    QString m_folder;
    QProcess m_windowManager;
    QProcess m_program;
    QLocalServer m_server;
    QLocalSocket* m_channel = nullptr;
    QString m_outputPath;
    qint64 m_scanned = 0;
    QString m_trouble;
    int m_nextId = 1;
};
