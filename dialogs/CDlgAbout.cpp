#include "CDlgAbout.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QVBoxLayout>

CDlgAbout::CDlgAbout(QWidget* parent)
    : TranslatedDialog(parent)
    , m_text(new QLabel(this))
{
    auto* mark = new QLabel(this);
    mark->setPixmap(QPixmap(QStringLiteral(":/images/ZoCut.ico")).scaled(64, 64, Qt::KeepAspectRatio));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto* row = new QHBoxLayout;
    row->addWidget(mark, 0, Qt::AlignTop);
    row->addWidget(m_text, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(buttons);
    retranslateUi();
}

void CDlgAbout::retranslateUi()
{
    setWindowTitle(tr("About ZoCut"));
    m_text->setText(QStringLiteral("<b>ZoCut</b><br>%1<br><br>%2")
                        .arg(tr("Version %1").arg(QCoreApplication::applicationVersion()),
                            tr("Prepares vector cut jobs for cutting plotters.")));
}
