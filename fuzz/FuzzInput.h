#pragma once

#include "CSVGTreeDisposal.h"

#include <QGuiApplication>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

// Attribute text reaches the model as UTF-8 from files; decoding it the same
// way gives the parsers characters beyond 255 too.
inline std::wstring fuzzText(const std::uint8_t* data, std::size_t size)
{
    return QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<int>(size)).toStdWString();
}

// A broken promise is a crash the fuzzer can report and minimise.
inline void fuzzCheck(bool promise)
{
    if (!promise)
        std::abort();
}

// Text lays itself out with Qt's fonts, which need a GUI application: one for
// the whole run, on the offscreen platform, made in LLVMFuzzerInitialize.
// Warnings about a broken input are expected; they would only flood the log.
inline void fuzzGuiApplication(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    static QGuiApplication application(*argc, *argv);
}

// What the program's event loop does between two files, once per run: it
// frees the trees of closed documents (all of them here, not in slices, so
// that no run leaves work to the next) and trims Qt's font cache on a timer.
// Without it the freed trees and every new font of a run would pile up.
inline void fuzzEventLoopTurn()
{
    CSVGTreeDisposal::flush();
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}
