#pragma once

#include "TranslatedDialog.h"

#include <QJsonObject>
#include <QMap>

class NumberField;
class QComboBox;
class QFormLayout;
class QLabel;
class QPushButton;
class QTabWidget;
class QWidget;

// The settings dialog: plotter, view and nesting settings, the interface
// language and the channel id under which the account keeps its settings.
// Every field is named after its settings key.
class DialogSettings : public TranslatedDialog
{
    Q_OBJECT
public:
    explicit DialogSettings(QWidget* parent = nullptr);

    // The keys this dialog edits, and those of them that the plotter reads
    // first from the settings group "hpgl".
    static QStringList editedKeys();
    static QStringList plotterKeys();

public slots:
    // Uploads the account's settings with the edited keys, keeps them in the
    // store and the plotter keys in "hpgl"; closes once the account has them.
    void do_saveAndClose();

protected:
    void retranslateUi() override;

private:
    struct Field;
    static const Field kFields[];

    void addField(const Field& field, QFormLayout* form);
    QJsonObject editedSettings() const;
    void saved(bool success);
    void chooseLanguage(int index);

    QMap<QString, QWidget*> m_fields;
    QComboBox* m_language;
    NumberField* m_id;
    QPushButton* m_save;
    QTabWidget* m_tabs;
    // One per row: the fields' in their order, then language and id.
    QList<QLabel*> m_labels;
};
