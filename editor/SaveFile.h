#pragma once

#include "TranslatedDialog.h"

#include <QImage>
#include <QString>

#include <functional>

namespace Ui {
class SaveFileClass;
}

// Asks for a name and stores the open design with its preview in the
// account's online design store, either anew or over a design of that name.
class SaveFile : public TranslatedDialog
{
    Q_OBJECT
public:
    explicit SaveFile(QWidget* parent = nullptr);
    ~SaveFile() override;

    // The design to store: its SVG text and a preview image.
    void setDesign(const QString& svgText, const QImage& preview);
    // The name the dialog offers: the design's own, so that Overwrite
    // replaces it without retyping.
    void setName(const QString& name);
    // Called with the name and the package's address once the design is
    // stored, even when the dialog is gone by then.
    void setOnStored(std::function<void(const QString& name, const QString& address)> stored)
    {
        m_stored = std::move(stored);
    }

public slots:
    void saveToApiFile();
    void coverToApiFile();

protected:
    void retranslateUi() override;

private:
    void store(const QString& key, bool overwrite);
    // A time stamp and ten letters; drawn so that two saves within one
    // millisecond still get keys of their own.
    static QString overwriteKey();

    Ui::SaveFileClass* m_ui;
    QString m_package;
    QImage m_preview;
    std::function<void(const QString& name, const QString& address)> m_stored;
};
