#pragma once

#include "TranslatedDialog.h"

#include <QString>

namespace Ui {
class OpenMyshareClass;
}

// Asks for a share code and its password and finds the design that another
// account shared; the caller fetches and opens it.
class OpenMyshare : public TranslatedDialog
{
    Q_OBJECT
public:
    explicit OpenMyshare(QWidget* parent = nullptr);
    ~OpenMyshare() override;

signals:
    // The shared design's package address and its name.
    void sendData(QString url, QString name);

public slots:
    void openShare();
    void closeShare();

protected:
    void retranslateUi() override;

private:
    void takeReply(const QString& body);

    Ui::OpenMyshareClass* m_ui;
};
