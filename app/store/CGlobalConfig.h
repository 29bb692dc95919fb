#pragma once

#include "CSVGNameIdMap.h"

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QPointF>
#include <QString>
#include <QVariant>

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <shared_mutex>
#include <string>
#include <vector>

class QColor;

// The program's one store of shared, mostly read-only state. Exactly one
// instance exists; it is built during static initialisation, before main(),
// and lives until the program exits.
//
// It also holds the vocabulary of the SVG model (element type codes, attribute
// ids, colour keywords) and the conversions between attribute text and numbers
// and colours that every element uses.
//
// Settings are looked up in three sources, in this order: the group "hpgl" of
// the local INI settings, the account settings sent by the web API, the
// built-in defaults. Callers read a setting at every use, so a change takes
// effect at the next read.
class CGlobalConfig
{
public:
    static CGlobalConfig& instance();

    CGlobalConfig(const CGlobalConfig&) = delete;
    CGlobalConfig& operator=(const CGlobalConfig&) = delete;

    // Safe to call from any thread: worker threads flatten curves and sum
    // areas while the GUI thread reads settings too.
    QVariant getSetting(const QString& key);
    void setSettings(const QJsonObject& settings);
    QJsonObject getSettings() const;
    QJsonObject getDefaultSettings() const;

    void setUserRights(const QJsonObject& rights);
    QVariant getUserRight(const QString& key) const;

    QByteArray getCipherKey() const;

    double getPointFactor() const { return m_pointFactor; }
    void setPointFactor(double factor) { m_pointFactor = factor; }

    // Vocabulary. Element names are fixed; attribute names met at run time
    // are registered behind the fixed ones (69, 70, ...). All of these are
    // safe to call from any thread.
    int getElementTypeId(const std::wstring& name) const;
    // Registers a name that is not known yet. Returns -1 only once the table
    // is full (kMaxAttributeIds names): a file full of invented names must
    // not push the table without bound, and no id is ever handed out twice.
    int getAttributeId(const std::wstring& name);
    // Like getAttributeId, but never registers: -1 for an unknown name. For
    // readers that only ask whether an attribute is there.
    int findAttributeId(const std::wstring& name) const;
    std::wstring getAttributeName(int id) const;
    // The name of an id of the fixed table; null for any other id.
    static const wchar_t* fixedAttributeName(int id);
    bool isInheritableAttribute(unsigned int id) const;
    bool isWhiteSpace(unsigned int c) const;
    static constexpr int kFixedAttributeIds = 69;
    static constexpr int kMaxAttributeIds = 65536;

    // Numbers in attribute text. Results are always finite: text whose value
    // overflows a double reads as 0.
    double parseLength(const std::wstring& text) const;
    // As parseLength, but every digit counts and the result is the double
    // nearest to the text: what preciseNumberToText wrote reads back as the
    // same double.
    double parsePreciseLength(const std::wstring& text) const;
    int parseInt(const std::wstring& text) const;
    // Locale-free: "." as decimal point whatever the user's locale.
    static std::wstring numberToText(double value);
    // The shortest plain decimal (no exponent) that parsePreciseLength reads
    // back as the same double; unlike numberToText, nothing is rounded.
    static std::wstring preciseNumberToText(double value);
    static std::wstring intToText(int value);
    // Always the given number of decimals, like "%.2f" in the C locale; a
    // value that is not finite is written as 0.
    static std::wstring fixedToText(double value, int decimals);

    // Colours. A packed colour holds red in the low byte, then green, blue
    // and alpha.
    enum class ColorTextClass { None, Hexadecimal, Functional, Keyword };
    static ColorTextClass classifyColorText(const std::wstring& text);
    std::uint32_t parseColorText(const std::wstring& text) const;
    QColor textToQColor(const std::wstring& text) const;
    static QColor packedRgbToQColor(std::uint32_t color);
    static std::wstring packedRgbToText(std::uint32_t color);
    static std::wstring qColorToText(const QColor& color);
    static QColor getContrastColor(const QColor& color);

    // Ids and references.
    std::wstring newElementId();
    static std::wstring getUrlReferenceId(const std::wstring& text);

    // Text.
    static std::wstring replaceAll(const std::wstring& text, const std::wstring& from, const std::wstring& to);
    static std::vector<std::wstring> splitString(const std::wstring& text, const std::wstring& delimiters);

    // Plane geometry. Points in polygons count by their winding number.
    static bool pointInPolygon(const std::vector<QPointF>& polygon, const QPointF& p);
    static bool pointInPolygon(const QList<QPointF>& polygon, const QPointF& p);
    static void segmentEndNormalPoints(const QPointF& p1, const QPointF& p2, QPointF& q1, QPointF& q2, double distance);
    static QPointF segmentNormalPoint(const QPointF& p1, const QPointF& p2, double distance, bool atP1);
    static int segmentQuadrant(const QPointF& p1, const QPointF& p2);

private:
    CGlobalConfig();
    ~CGlobalConfig() = default;

    double parseLength(const std::wstring& text, int fractionDigits) const;
    void initColorKeywords();
    void initElementNames();
    void initAttributeNames();
    void initInheritableAttributes();
    void initWhiteSpace();
    void initDefaultSettings();
    QJsonObject buildPositionColors() const;
    std::uint32_t parseFunctionalColor(const std::wstring& text) const;

    // Guards the three JSON objects: getSetting() may add keys to the
    // defaults while other threads read them.
    mutable std::mutex m_lock;

    std::map<std::wstring, std::wstring> m_colorKeywords;
    std::array<std::uint16_t, 256> m_whiteSpace {};
    std::array<std::uint16_t, 256> m_inheritable {};
    CSVGNameIdMap m_elementIds;
    CSVGNameIdMap m_attributeIds;
    std::vector<std::wstring> m_elementNames;
    std::vector<std::wstring> m_attributeNames;
    // Guards the attribute map and names, which grow while files are read.
    mutable std::shared_mutex m_attributeLock;

    std::atomic<int> m_elementIdCounter { 0 };
    double m_pointFactor = 1.0;
    QJsonObject m_settings;
    QJsonObject m_defaultSettings;
    QJsonObject m_userRights;
};

// The one instance, bound during static initialisation so the store exists
// before main() runs. Other static initialisers must go through instance().
extern CGlobalConfig& g_config;

// Name of the nesting service's keep-alive request.
extern const QString g_heartbeat;

// Sum of the arrow-key moves since the last mouse release or cancelled drag;
// the view shows it beside the cursor while points are moved.
extern QPointF g_arrowMoveTotal;

// Replaces a text file with the UTF-8 text, atomically: on any failure the
// old file stays as it was and the result is false. A read-only existing file
// is replaced too.
bool writeTextFile(const QString& path, const QString& text);
// The same for a text made piece by piece: produce hands every piece to the
// function it is given, which writes it and returns false once writing
// failed; produce returns false when it failed itself. A large text is so
// never held whole, nor in more than one encoding.
bool writeTextFile(
    const QString& path, const std::function<bool(const std::function<bool(const std::wstring&)>& write)>& produce);
