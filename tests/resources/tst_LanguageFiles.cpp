// The shipped language files against the texts of the widget code: every
// text that the code passes to the translator, and every string of its
// designer forms, needs an entry in each language file, so that a new text
// cannot ship untranslated.

#include "TestEnvironment.h"

#include <QDirIterator>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QXmlStreamReader>

#include <algorithm>

namespace {
// The folders whose texts the windows and dialogs show.
const char* const kWidgetFolders[] = { "app", "editor", "dialogs", "cutting", "nesting", "document", "svg" };
const char* const kLanguageCodes[] = { "zh", "en", "ru", "ar", "ko", "de" };

struct SourceText
{
    QString place; // "folder/file.cpp:line"
    QString text;
};

QString unescape(const QString& body)
{
    QString out;
    for (int i = 0; i < body.size(); ++i) {
        if (body[i] != QLatin1Char('\\') || i + 1 == body.size()) {
            out += body[i];
            continue;
        }
        const QChar next = body[++i];
        out += next == QLatin1Char('n') ? QChar('\n') : next == QLatin1Char('t') ? QChar('\t') : next;
    }
    return out;
}

// The literal, or adjacent literals, at from; null when there is none.
// from moves past them.
QString literalsAt(const QString& source, int& from)
{
    static const QRegularExpression literal(
        QStringLiteral(R"re(\s*(?:u8|[LuU])?(?:"((?:\\.|[^"\\\n])*)"|R"([^(\s]*)\(([\s\S]*?)\)\2"))re"));
    QString text;
    bool found = false;
    const auto next = [&] {
        return literal.match(source, from, QRegularExpression::NormalMatch, QRegularExpression::AnchoredMatchOption);
    };
    for (auto match = next(); match.hasMatch(); match = next()) {
        text += match.capturedStart(3) >= 0 ? match.captured(3) : unescape(match.captured(1));
        from = match.capturedEnd();
        found = true;
    }
    return found ? text : QString();
}

// tr("text"), QT_TR_NOOP("text"), translate("context", "text") and
// QT_TRANSLATE_NOOP("context", "text"), the forms through which this code
// hands texts to the translator. Comments and literals are passed over
// whole, so that a form written inside one does not count.
QVector<SourceText> cppTexts(const QString& path, const QByteArray& bytes)
{
    static const QRegularExpression token(QStringLiteral(
        R"re(//[^\n]*|/\*[\s\S]*?\*/|(?:u8|[LuU])?R"([^(\s]*)\([\s\S]*?\)\1"|(?:u8|[LuU])?"(?:\\.|[^"\\\n])*")re"
        R"re(|\d[\w']*|'(?:\\.|[^'\\\n])*'|\b(?:(tr|QT_TR_(?:N_)?NOOP)|(translate|QT_TRANSLATE_(?:N_)?NOOP3?))\s*\()re"));
    static const QRegularExpression comma(QStringLiteral("\\s*,"));
    const QString source = QString::fromUtf8(bytes);
    QVector<SourceText> texts;
    for (auto it = token.globalMatch(source); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        const bool context = match.capturedStart(3) >= 0;
        if (match.capturedStart(2) < 0 && !context)
            continue;
        int at = match.capturedEnd();
        if (context) {
            if (literalsAt(source, at).isNull())
                continue;
            const auto separator
                = comma.match(source, at, QRegularExpression::NormalMatch, QRegularExpression::AnchoredMatchOption);
            if (!separator.hasMatch())
                continue;
            at = separator.capturedEnd();
        }
        const QString text = literalsAt(source, at);
        if (!text.isEmpty()) {
            const int line = source.leftRef(match.capturedStart()).count(QLatin1Char('\n')) + 1;
            texts.append({ QStringLiteral("%1:%2").arg(path).arg(line), text });
        }
    }
    return texts;
}

// Every <string> of a designer form that is not marked notr="true".
QVector<SourceText> formTexts(const QString& path, const QByteArray& form)
{
    QVector<SourceText> texts;
    QXmlStreamReader reader(form);
    while (!reader.atEnd()) {
        if (reader.readNext() != QXmlStreamReader::StartElement || reader.name() != QLatin1String("string"))
            continue;
        const bool translated = reader.attributes().value(QLatin1String("notr")) != QLatin1String("true");
        const int line = int(reader.lineNumber());
        const QString text = reader.readElementText();
        if (translated && !text.isEmpty())
            texts.append({ QStringLiteral("%1:%2").arg(path).arg(line), text });
    }
    return texts;
}

QVector<SourceText> widgetTexts()
{
    const QDir root(QStringLiteral(ZOCUT_SOURCE_DIR));
    QVector<SourceText> texts;
    for (const char* folder : kWidgetFolders) {
        QStringList files;
        QDirIterator it(root.filePath(QLatin1String(folder)), { "*.cpp", "*.h", "*.ui" }, QDir::Files,
            QDirIterator::Subdirectories);
        while (it.hasNext())
            files << it.next();
        std::sort(files.begin(), files.end());
        for (const QString& file : files) {
            QFile source(file);
            if (!source.open(QIODevice::ReadOnly))
                continue;
            const QString path = root.relativeFilePath(file);
            texts += file.endsWith(QLatin1String(".ui")) ? formTexts(path, source.readAll())
                                                         : cppTexts(path, source.readAll());
        }
    }
    return texts;
}

// key -> value of one shipped language file; blank values count as missing,
// as the translator skips them.
QHash<QString, QString> languageFile(const QString& code)
{
    QFile file(QStringLiteral(ZOCUT_SOURCE_DIR "/resources/Trans/language_%1.json").arg(code));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QHash<QString, QString> entries;
    for (const QJsonValue& entry : QJsonDocument::fromJson(file.readAll()).object().value("trans").toArray()) {
        const QString value = entry.toObject().value("value").toString();
        if (!value.isEmpty())
            entries.insert(entry.toObject().value("key").toString(), value);
    }
    return entries;
}

QStringList placeholders(const QString& text)
{
    static const QRegularExpression marker(QStringLiteral("%(\\d+|n)"));
    QStringList found;
    for (auto match = marker.globalMatch(text); match.hasNext();)
        found << match.next().captured();
    found.sort();
    found.removeDuplicates();
    return found;
}
} // namespace

class tst_LanguageFiles : public QObject
{
    Q_OBJECT
private slots:
    void extraction_data();
    void extraction();
    void everyWidgetTextHasEntries();
    void entriesKeepPlaceholders();
};

void tst_LanguageFiles::extraction_data()
{
    QTest::addColumn<QByteArray>("source");
    QTest::addColumn<bool>("form");
    QTest::addColumn<QStringList>("texts");
    QTest::newRow("calls") << QByteArray("a(QObject::tr(\"One\"), tr(\"Two \" \"parts\"));") << false
                           << QStringList { "One", "Two parts" };
    QTest::newRow("markers") << QByteArray("{ QT_TR_NOOP(\"A\"), QT_TRANSLATE_NOOP(\"C\", \"B\") };\n"
                                           "QCoreApplication::translate(\"C\", \"D\", nullptr);")
                             << false << QStringList { "A", "B", "D" };
    QTest::newRow("escapes and UTF-8") << QByteArray("tr(\"Say \\\"hi\\\"\\n\"); tr(\"文件~\");") << false
                                       << QStringList { "Say \"hi\"\n", "文件~" };
    QTest::newRow("comments and strings") << QByteArray("// tr(\"A\")\n/* tr(\"B\") */ s = \"tr(\\\"C\\\")\";\n"
                                                        "c = '\"'; tr(\"D\");")
                                          << false << QStringList { "D" };
    QTest::newRow("raw and wide") << QByteArray("tr(R\"x(a \"b\")x\"); tr(u8\"c\"); n = 1'000; tr(\"d\");") << false
                                  << QStringList { "a \"b\"", "c", "d" };
    QTest::newRow("not texts") << QByteArray("tr(row.text); m.translate(1, 2); translate(\"C\", key);") << false
                               << QStringList();
    QTest::newRow("form") << QByteArray("<ui><widget><property name=\"text\"><string>Shown</string></property>"
                                        "<property name=\"x\"><string notr=\"true\">Kept</string></property>"
                                        "<property name=\"y\"><string></string></property></widget></ui>")
                          << true << QStringList { "Shown" };
}

void tst_LanguageFiles::extraction()
{
    QFETCH(QByteArray, source);
    QFETCH(bool, form);
    QFETCH(QStringList, texts);
    QStringList found;
    for (const SourceText& text : form ? formTexts("x.ui", source) : cppTexts("x.cpp", source))
        found << text.text;
    QCOMPARE(found, texts);
}

// One line per text that lacks an entry, naming where it is written and the
// files that lack it.
void tst_LanguageFiles::everyWidgetTextHasEntries()
{
    const QVector<SourceText> texts = widgetTexts();
    QVERIFY2(texts.size() > 200, "the widget code was not found");
    QVector<QPair<QString, QHash<QString, QString>>> files;
    for (const char* code : kLanguageCodes) {
        const QString name = QStringLiteral("language_%1.json").arg(QLatin1String(code));
        files.append({ name, languageFile(QLatin1String(code)) });
        QVERIFY2(!files.last().second.isEmpty(), qPrintable(name + " cannot be read"));
    }
    QStringList report;
    QSet<QString> seen;
    for (const SourceText& text : texts) {
        if (seen.contains(text.text))
            continue;
        seen.insert(text.text);
        QStringList lacking;
        for (const auto& file : files) {
            if (!file.second.contains(text.text))
                lacking << file.first;
        }
        if (!lacking.isEmpty())
            report << QStringLiteral("%1: \"%2\" has no entry in %3").arg(text.place, text.text, lacking.join(", "));
    }
    QVERIFY2(report.isEmpty(), qPrintable(QStringLiteral("\n") + report.join('\n')));
}

// A translation that drops or invents a placeholder shows a wrong message
// (and makes QString::arg complain).
void tst_LanguageFiles::entriesKeepPlaceholders()
{
    QStringList report;
    for (const char* code : kLanguageCodes) {
        const QHash<QString, QString> entries = languageFile(QLatin1String(code));
        for (auto entry = entries.constBegin(); entry != entries.constEnd(); ++entry) {
            if (placeholders(entry.key()) != placeholders(entry.value()))
                report << QStringLiteral("language_%1.json: \"%2\" -> \"%3\"")
                              .arg(QLatin1String(code), entry.key(), entry.value());
        }
    }
    QVERIFY2(report.isEmpty(), qPrintable(QStringLiteral("\n") + report.join('\n')));
}

ZOCUT_TEST_MAIN(tst_LanguageFiles)
#include "tst_LanguageFiles.moc"
