// Stand-in for the HPGL converter that the program carries as its resource
// ":/extensions/hpgl.dat": reads one section file of polylines and writes
// its HPGL to standard output. Exit status 0 on success; otherwise a line
// on standard error says why.
#include "HpglConverter.h"
#include "SvgPolylineReader.h"

#include <QFile>

#include <cstdio>

namespace {
// A section file of this size is far beyond any roll.
const qint64 kLargestInput = qint64(512) * 1024 * 1024;

int fail(const QString& message)
{
    std::fprintf(stderr, "hpgl: %s\n", message.toLocal8Bit().constData());
    return 1;
}
} // namespace

int main(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    HpglOptions options;
    QString path;
    QString error;
    if (!HpglConverter::parseArguments(arguments, &options, &path, &error))
        return fail(error);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("cannot read %1: %2").arg(path, file.errorString()));
    if (file.size() > kLargestInput)
        return fail(QStringLiteral("%1 is too large").arg(path));
    SvgPolylineReader reader;
    if (!reader.read(file.readAll()))
        return fail(reader.errorString());
    QByteArray hpgl;
    if (!HpglConverter::convert(reader.polylines(), options, &hpgl, &error))
        return fail(error);
    if (std::fwrite(hpgl.constData(), 1, size_t(hpgl.size()), stdout) != size_t(hpgl.size()) || std::fflush(stdout))
        return fail(QStringLiteral("cannot write the output"));
    return 0;
}
