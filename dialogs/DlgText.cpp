#include "DlgText.h"

#include "CColorPickButton.h"
#include "DialogLimits.h"
#include "DlgTextHost.h"
#include "NumberField.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFontComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextCharFormat>

namespace {
// Points; larger than any lettering cut from film.
constexpr int kMaxFontSize = 2000;
} // namespace

DlgText::DlgText(DlgTextHost* view, const QPointF& position, QWidget* parent)
    : TranslatedDialog(parent)
    , m_view(view)
    , m_text(new QPlainTextEdit(this))
    , m_family(new QFontComboBox(this))
    , m_size(new NumberField(this))
    , m_bold(new QCheckBox(this))
    , m_italic(new QCheckBox(this))
    , m_underline(new QCheckBox(this))
    , m_color(new CColorPickButton(Qt::black, this))
    , m_textLabel(new QLabel(this))
    , m_familyLabel(new QLabel(this))
    , m_sizeLabel(new QLabel(this))
    , m_pick(new QPushButton(this))
{
    setModal(false);
    m_size->setObjectName(QStringLiteral("size"));
    m_size->setRange(1, kMaxFontSize);
    m_size->setWholeNumbers(true);
    m_size->setValue(24);
    auto* style = new QHBoxLayout;
    for (QWidget* widget : { static_cast<QWidget*>(m_bold), static_cast<QWidget*>(m_italic),
             static_cast<QWidget*>(m_underline), static_cast<QWidget*>(m_color) })
        style->addWidget(widget);
    auto* form = new QFormLayout(this);
    form->addRow(m_textLabel, m_text);
    form->addRow(m_familyLabel, m_family);
    form->addRow(m_sizeLabel, m_size);
    form->addRow(style);
    m_x = addCoordinate(QStringLiteral("X"), position.x());
    m_y = addCoordinate(QStringLiteral("Y"), position.y());
    m_pick->setObjectName(QStringLiteral("getPosition"));
    connect(m_pick, &QPushButton::clicked, this, [this] {
        if (m_view)
            m_view->setPickPosition(true);
    });
    form->addRow(m_pick);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &DlgText::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    form->addRow(buttons);
    retranslateUi();
}

void DlgText::retranslateUi()
{
    setWindowTitle(tr("Text"));
    m_textLabel->setText(tr("Text"));
    m_familyLabel->setText(tr("Font"));
    m_sizeLabel->setText(tr("Size"));
    m_bold->setText(tr("Bold"));
    m_italic->setText(tr("Italics"));
    m_underline->setText(tr("Underline"));
    m_pick->setText(tr("Get Position"));
}

NumberField* DlgText::addCoordinate(const QString& label, double value)
{
    auto* field = new NumberField(this);
    field->setObjectName(label);
    field->setRange(-DialogLimits::kMaxLength, DialogLimits::kMaxLength);
    static_cast<QFormLayout*>(layout())->addRow(label, field);
    field->setValue(value, DialogLimits::kLengthDecimals);
    return field;
}

void DlgText::setPosition(const QPointF& point)
{
    m_x->setValue(point.x(), DialogLimits::kLengthDecimals);
    m_y->setValue(point.y(), DialogLimits::kLengthDecimals);
}

QPointF DlgText::position() const
{
    return QPointF(m_x->value(), m_y->value());
}

QTextCharFormat DlgText::textFormat() const
{
    QTextCharFormat format;
    QFont font = m_family->currentFont();
    font.setPointSize(int(m_size->value()));
    font.setWeight(m_bold->isChecked() ? QFont::Bold : QFont::Normal);
    font.setItalic(m_italic->isChecked());
    font.setUnderline(m_underline->isChecked());
    format.setFont(font);
    format.setForeground(m_color->color());
    return format;
}

void DlgText::accept()
{
    if (!NumberField::refuseInvalid(this).isEmpty())
        return;
    const QString text = m_text->toPlainText();
    if (m_view && !text.isEmpty())
        m_view->insertTextElement(text, textFormat(), position());
    QDialog::accept();
}
