#include "PdbPackage.h"

#include "CGlobalConfig.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QTextCodec>

#include <cstdlib>

QByteArray PdbPackage::randomPrefix()
{
    // Seeded anew for every package from the clock, so packages written
    // within the same millisecond share their letters; readers drop them.
    static const char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
    std::srand(unsigned(QDateTime::currentMSecsSinceEpoch()));
    QByteArray prefix;
    for (int i = 0; i < kPrefixLength; ++i)
        prefix += kLetters[std::rand() % 52];
    return prefix;
}

QByteArray PdbPackage::pack(const QString& svgText, Ending ending)
{
    QByteArray package = randomPrefix() + svgText.toUtf8().toBase64();
    if (ending == LineBreak)
        package += '\n';
    return package;
}

bool PdbPackage::write(const QString& path, const QString& svgText, Ending ending)
{
    return writeTextFile(path, QString::fromLatin1(pack(svgText, ending)));
}

QString PdbPackage::unpack(const QByteArray& package)
{
    return QString::fromUtf8(QByteArray::fromBase64(package.mid(kPrefixLength)));
}

QString PdbPackage::read(const QByteArray& package, QString* error)
{
    const auto fail = [error](const char* reason) {
        if (error)
            *error = QCoreApplication::translate("PdbPackage", reason);
        return QString();
    };
    const QByteArray payload = package.mid(kPrefixLength).trimmed();
    if (payload.isEmpty())
        return fail(QT_TRANSLATE_NOOP("PdbPackage", "The design package is empty."));
    // Base64 has no markup: this is a server's error page.
    if (package.contains('<'))
        return fail(QT_TRANSLATE_NOOP("PdbPackage", "The server sent a page instead of the design package."));
    const QByteArray bytes = QByteArray::fromBase64(payload);
    QTextCodec::ConverterState state;
    const QString text = QTextCodec::codecForName("UTF-8")->toUnicode(bytes.constData(), bytes.size(), &state);
    if (state.invalidChars > 0 || !text.contains(QLatin1String("<svg")))
        return fail(QT_TRANSLATE_NOOP("PdbPackage", "The design package holds no SVG drawing."));
    if (error)
        error->clear();
    return text;
}
