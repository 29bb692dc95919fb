#include "DialogSettings.h"

#include "CGlobalConfig.h"
#include "NumberField.h"
#include "Prompt.h"
#include "SVGApplication.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSettings>
#include <QTabWidget>
#include <QVBoxLayout>

struct DialogSettings::Field
{
    enum Kind { Number, Bool, Text };
    const char* key;
    const char* label;
    int tab;
    Kind kind;
    double minimum;
    double maximum;
    bool whole;
};

namespace {
// The plotter's own settings and those of the cut job are two tabs, so
// that each fits a screen as low as the window's smallest.
enum Tab { Plotter, Cutting, View, Nesting, General, TabCount };
const char* const kTabs[TabCount] = { QT_TRANSLATE_NOOP("DialogSettings", "Plotter"),
    QT_TRANSLATE_NOOP("DialogSettings", "Cutting"), QT_TRANSLATE_NOOP("DialogSettings", "View"),
    QT_TRANSLATE_NOOP("DialogSettings", "Nesting"), QT_TRANSLATE_NOOP("DialogSettings", "General") };
// The plotter keys that the converter and the cut job read first from "hpgl".
const char* const kPlotterKeys[]
    = { "PlotResolutionX", "PlotResolutionY", "PlotPenNum", "PlotForce", "PlotSpeed", "toolOffset", "PlotRotation",
          "PlotMirrorX", "PlotMirrorY", "PlotOvercut", "PlotCorrection", "PlotPrecut", "PlotFlat", "PlotAutoAlign" };
// The interface languages, as the sign-in page offers them.
const char* const kLanguages[][2] = { { "中文", "zh_cn" }, { "English", "en" }, { "Русский", "ru" },
    { "العربية", "ar" }, { "한국어", "ko" }, { "Deutsch", "ger" } };
} // namespace

#define FIELD(key, label, tab, kind, low, high, whole)                                                                 \
    {                                                                                                                  \
        key, label, tab, DialogSettings::Field::kind, low, high, whole                                                 \
    }
const DialogSettings::Field DialogSettings::kFields[] = {
    FIELD("PlotResolutionX", QT_TR_NOOP("Resolution X (units per inch)"), Plotter, Number, 1, 100000, true),
    FIELD("PlotResolutionY", QT_TR_NOOP("Resolution Y (units per inch)"), Plotter, Number, 1, 100000, true),
    FIELD("PlotPenNum", QT_TR_NOOP("Pen number"), Plotter, Number, 0, 99, true),
    FIELD("PlotForce", QT_TR_NOOP("Force"), Plotter, Number, 0, 10000, true),
    FIELD("PlotSpeed", QT_TR_NOOP("Speed"), Plotter, Number, 0, 10000, true),
    FIELD("toolOffset", QT_TR_NOOP("Tool offset (mm)"), Plotter, Number, 0, 100, false),
    FIELD("PlotRotation", QT_TR_NOOP("Rotation (degrees)"), Plotter, Number, -360, 360, true),
    FIELD("PlotMirrorX", QT_TR_NOOP("Mirror X"), Plotter, Bool, 0, 0, false),
    FIELD("PlotMirrorY", QT_TR_NOOP("Mirror Y"), Plotter, Bool, 0, 0, false),
    FIELD("PlotOvercut", QT_TR_NOOP("Overcut (mm)"), Plotter, Number, 0, 100, false),
    FIELD("PlotPrecut", QT_TR_NOOP("Precut"), Plotter, Bool, 0, 0, false),
    FIELD("PlotFlat", QT_TR_NOOP("Flatness"), Plotter, Number, 0, 100, false),
    FIELD("PlotAutoAlign", QT_TR_NOOP("Align to the origin"), Plotter, Bool, 0, 0, false),
    FIELD("PlotEnd", QT_TR_NOOP("Plot end (mm)"), Cutting, Number, 0, 10000, false),
    FIELD("PlotOverlap", QT_TR_NOOP("Overlap (mm)"), Cutting, Number, 0, 1000, false),
    FIELD("CutInterval", QT_TR_NOOP("Cut interval (mm)"), Cutting, Number, 0, 10000, false),
    FIELD("Cutoff", QT_TR_NOOP("Cutoff (mm)"), Cutting, Number, 0, 100000, false),
    FIELD("Separation", QT_TR_NOOP("Separation (mm)"), Cutting, Number, 0, 1000, true),
    FIELD("ExtraPlotter", QT_TR_NOOP("Extra plotter"), Plotter, Text, 0, 0, false),
    FIELD("BezierFlatteningThreshold", QT_TR_NOOP("Curve flattening threshold (mm)"), View, Number, 0.001, 10, false),
    FIELD("ZoomLimit", QT_TR_NOOP("Zoom limit"), View, Number, 0.1, 1000, false),
    FIELD("LineWidth", QT_TR_NOOP("Line width"), View, Number, 0, 100, false),
    FIELD("TextWidth", QT_TR_NOOP("Text width"), View, Number, 0, 100, false),
    FIELD("LeftToolBarWidth", QT_TR_NOOP("Left tool bar width"), View, Number, 0, 2000, true),
    FIELD("AutoSaveInterval", QT_TR_NOOP("Auto-save interval (s)"), View, Number, 0, 86400, true),
    FIELD("NestingServer", QT_TR_NOOP("Nesting server (host:port)"), Nesting, Text, 0, 0, false),
    FIELD("NestingMaxJob", QT_TR_NOOP("Nesting jobs at a time"), Nesting, Number, 1, 100, true),
    FIELD("NestingMinArea", QT_TR_NOOP("Smallest piece to nest"), Nesting, Number, 0, 1000000, false),
};
#undef FIELD

DialogSettings::DialogSettings(QWidget* parent)
    : TranslatedDialog(parent)
    , m_language(new QComboBox(this))
    , m_id(new NumberField(this))
    , m_tabs(new QTabWidget(this))
{
    QFormLayout* forms[TabCount];
    for (int tab = 0; tab < TabCount; ++tab) {
        auto* page = new QWidget(m_tabs);
        forms[tab] = new QFormLayout(page);
        m_tabs->addTab(page, QString());
    }
    // Every tab's name in view, none behind a scroll arrow.
    m_tabs->setUsesScrollButtons(false);
    for (const Field& field : kFields)
        addField(field, forms[field.tab]);

    m_language->setObjectName(QStringLiteral("language"));
    const QString current = SVGApplication::instance() ? SVGApplication::instance()->getLanguage() : QString();
    for (const auto& language : kLanguages) {
        m_language->addItem(QString::fromUtf8(language[0]), QString::fromLatin1(language[1]));
        if (current == QLatin1String(language[1]))
            m_language->setCurrentIndex(m_language->count() - 1);
    }
    connect(m_language, QOverload<int>::of(&QComboBox::activated), this, &DialogSettings::chooseLanguage);
    m_id->setObjectName(QStringLiteral("id"));
    m_id->setRange(0, 999999);
    m_id->setWholeNumbers(true);
    m_id->setValue(SVGApplication::kAdminId);
    for (QWidget* field : { static_cast<QWidget*>(m_language), static_cast<QWidget*>(m_id) }) {
        m_labels << new QLabel(this);
        forms[General]->addRow(m_labels.last(), field);
    }

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Save | QDialogButtonBox::Cancel, this);
    m_save = buttons->button(QDialogButtonBox::Save);
    connect(buttons, &QDialogButtonBox::accepted, this, &DialogSettings::do_saveAndClose);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs);
    layout->addWidget(buttons);
    retranslateUi();
}

void DialogSettings::retranslateUi()
{
    setWindowTitle(tr("Settings"));
    for (int tab = 0; tab < TabCount; ++tab)
        m_tabs->setTabText(tab, tr(kTabs[tab]));
    int row = 0;
    for (const Field& field : kFields)
        m_labels[row++]->setText(tr(field.label));
    m_labels[row++]->setText(tr("Language"));
    m_labels[row]->setText(tr("Settings id"));
}

void DialogSettings::addField(const Field& field, QFormLayout* form)
{
    const QString key = QLatin1String(field.key);
    const QVariant value = g_config.getSetting(key);
    QWidget* widget = nullptr;
    if (field.kind == Field::Bool) {
        auto* box = new QCheckBox(this);
        // Settings read back from the file are text: "true" or "false".
        box->setChecked(value.toBool());
        widget = box;
    } else if (field.kind == Field::Text) {
        widget = new QLineEdit(value.toString(), this);
    } else {
        auto* number = new NumberField(this);
        number->setRange(field.minimum, field.maximum);
        number->setWholeNumbers(field.whole);
        // A setting that is no number is shown as it is, for the user to
        // put right, rather than saved back as some number.
        bool isNumber = false;
        const double shown = value.toDouble(&isNumber);
        if (isNumber)
            number->setValue(shown);
        else
            number->setText(value.toString());
        widget = number;
    }
    widget->setObjectName(key);
    m_fields.insert(key, widget);
    m_labels << new QLabel(this);
    form->addRow(m_labels.last(), widget);
}

QStringList DialogSettings::editedKeys()
{
    QStringList keys;
    for (const Field& field : kFields)
        keys << QLatin1String(field.key);
    return keys;
}

QStringList DialogSettings::plotterKeys()
{
    QStringList keys;
    for (const char* key : kPlotterKeys)
        keys << QLatin1String(key);
    return keys;
}

QJsonObject DialogSettings::editedSettings() const
{
    QJsonObject settings = g_config.getSettings();
    if (settings.isEmpty())
        settings = g_config.getDefaultSettings();
    for (auto field = m_fields.constBegin(); field != m_fields.constEnd(); ++field) {
        if (auto* box = qobject_cast<QCheckBox*>(field.value()))
            settings.insert(field.key(), box->isChecked());
        else if (auto* number = qobject_cast<NumberField*>(field.value()))
            settings.insert(field.key(), number->value());
        else if (auto* line = qobject_cast<QLineEdit*>(field.value()))
            settings.insert(field.key(), line->text().trimmed());
    }
    return settings;
}

void DialogSettings::do_saveAndClose()
{
    if (!NumberField::refuseInvalid(this).isEmpty())
        return;
    if (qobject_cast<QLineEdit*>(m_fields.value(QStringLiteral("NestingServer")))->text().trimmed().isEmpty()) {
        Prompt::warning(this, tr("Warning"), tr("Please enter the nesting server."));
        return;
    }
    const QJsonObject settings = editedSettings();
    m_save->setEnabled(false);
    QPointer<DialogSettings> self(this);
    SVGApplication::instance()->setSettingConfigbyid(int(m_id->value()), settings, [self](bool success) {
        if (self)
            self->saved(success);
    });
    g_config.setSettings(settings);
    QSettings local;
    local.beginGroup(QStringLiteral("hpgl"));
    for (const QString& key : plotterKeys()) {
        if (settings.contains(key))
            local.setValue(key, settings.value(key).toVariant());
        else
            local.remove(key);
    }
}

void DialogSettings::saved(bool success)
{
    m_save->setEnabled(true);
    // A failed upload was shown to the user; the dialog stays so that they
    // can try again instead of believing the account has the settings. The
    // fields were checked before the save went.
    if (success)
        QDialog::accept();
}

void DialogSettings::chooseLanguage(int index)
{
    SVGApplication::instance()->setLanguage(m_language->itemData(index).toString());
}
