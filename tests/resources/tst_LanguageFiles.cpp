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

struct Token
{
    enum Kind { Word, Literal, Mark } kind;
    QByteArray text;
    int line;
};

QByteArray unescape(const QByteArray& body)
{
    QByteArray out;
    for (int i = 0; i < body.size(); ++i) {
        if (body[i] != '\\' || i + 1 == body.size()) {
            out += body[i];
            continue;
        }
        const char next = body[++i];
        out += next == 'n' ? '\n' : next == 't' ? '\t' : next == 'r' ? '\r' : next;
    }
    return out;
}

class Tokenizer
{
public:
    explicit Tokenizer(const QByteArray& source)
        : m_source(source)
    {
    }

    QVector<Token> run()
    {
        while (m_at < m_source.size())
            step();
        return m_tokens;
    }

private:
    char at(int offset = 0) const
    {
        const int index = m_at + offset;
        return index < m_source.size() ? m_source[index] : '\0';
    }

    // Moves to index, counting the lines passed.
    void moveTo(int index)
    {
        index = std::min(index, int(m_source.size()));
        m_line += m_source.mid(m_at, index - m_at).count('\n');
        m_at = index;
    }

    static bool isWordChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

    void step()
    {
        const char c = at();
        if (c == '/' && at(1) == '/') {
            const int end = m_source.indexOf('\n', m_at);
            moveTo(end < 0 ? m_source.size() : end);
        } else if (c == '/' && at(1) == '*') {
            const int end = m_source.indexOf("*/", m_at + 2);
            moveTo(end < 0 ? m_source.size() : end + 2);
        } else if (c == '"') {
            quoted('"', true);
        } else if (c == '\'') {
            quoted('\'', false);
        } else if (isWordChar(c)) {
            word();
        } else {
            if (!std::isspace(static_cast<unsigned char>(c)))
                m_tokens.append({ Token::Mark, QByteArray(1, c), m_line });
            moveTo(m_at + 1);
        }
    }

    void quoted(char quote, bool keep)
    {
        const int line = m_line;
        int end = m_at + 1;
        while (end < m_source.size() && m_source[end] != quote && m_source[end] != '\n')
            end += m_source[end] == '\\' ? 2 : 1;
        if (keep)
            m_tokens.append({ Token::Literal, unescape(m_source.mid(m_at + 1, end - m_at - 1)), line });
        moveTo(end + 1);
    }

    void word()
    {
        int end = m_at;
        // Digit separators belong to the number, not to a character literal.
        const bool number = std::isdigit(static_cast<unsigned char>(at()));
        while (end < m_source.size() && (isWordChar(m_source[end]) || (number && m_source[end] == '\'')))
            ++end;
        const QByteArray name = m_source.mid(m_at, end - m_at);
        const bool prefix = end < m_source.size() && m_source[end] == '"';
        if (prefix && (name == "R" || name == "u8R" || name == "LR" || name == "uR" || name == "UR")) {
            raw(end);
        } else if (prefix && (name == "u8" || name == "L" || name == "u" || name == "U")) {
            moveTo(end);
        } else {
            m_tokens.append({ Token::Word, name, m_line });
            moveTo(end);
        }
    }

    // R"delimiter(text)delimiter"
    void raw(int quote)
    {
        const int open = m_source.indexOf('(', quote);
        const QByteArray close = ')' + m_source.mid(quote + 1, open - quote - 1) + '"';
        const int end = m_source.indexOf(close, open);
        if (open < 0 || end < 0) {
            moveTo(m_source.size());
            return;
        }
        m_tokens.append({ Token::Literal, m_source.mid(open + 1, end - open - 1), m_line });
        moveTo(end + close.size());
    }

    const QByteArray& m_source;
    int m_at = 0;
    int m_line = 1;
    QVector<Token> m_tokens;
};

// Adjacent literals from index on make one text; null when there is none.
QByteArray literalAt(const QVector<Token>& tokens, int& index)
{
    QByteArray text;
    bool found = false;
    while (index < tokens.size() && tokens[index].kind == Token::Literal) {
        text += tokens[index++].text;
        found = true;
    }
    return found ? text : QByteArray();
}

// tr("text"), QT_TR_NOOP("text"), translate("context", "text") and
// QT_TRANSLATE_NOOP("context", "text"), the forms through which this code
// hands texts to the translator.
QVector<SourceText> cppTexts(const QString& path, const QByteArray& source)
{
    static const QList<QByteArray> plain { "tr", "QT_TR_NOOP", "QT_TR_N_NOOP" };
    static const QList<QByteArray> withContext { "translate", "QT_TRANSLATE_NOOP", "QT_TRANSLATE_NOOP3",
        "QT_TRANSLATE_N_NOOP", "QT_TRANSLATE_N_NOOP3" };
    const QVector<Token> tokens = Tokenizer(source).run();
    QVector<SourceText> texts;
    for (int i = 0; i + 2 < tokens.size(); ++i) {
        const Token& name = tokens[i];
        if (name.kind != Token::Word || tokens[i + 1].text != "(")
            continue;
        const bool context = withContext.contains(name.text);
        if (!context && !plain.contains(name.text))
            continue;
        int at = i + 2;
        if (context && (literalAt(tokens, at).isNull() || at >= tokens.size() || tokens[at].text != ","))
            continue;
        at += context ? 1 : 0;
        const QByteArray text = literalAt(tokens, at);
        if (!text.isEmpty())
            texts.append({ QStringLiteral("%1:%2").arg(path).arg(name.line), QString::fromUtf8(text) });
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
                                                        "c = '\"'; n = 1'000; tr(\"D\");")
                                          << false << QStringList { "D" };
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
