#include "NumberField.h"

#include "InterfaceLocale.h"
#include "Prompt.h"

#include <QEvent>
#include <QFormLayout>
#include <QLabel>
#include <QLocale>
#include <QPainter>
#include <QRegularExpression>
#include <QStyleOptionFrame>
#include <QTabWidget>

#include <cmath>

namespace {
// Room between the number and its unit.
constexpr int kUnitGap = 4;

// A number written with the language's digits, signs and decimal
// separator, or with ASCII ones and ".".
bool readNumber(const QString& text, double* value)
{
    const QLocale locale = InterfaceLocale::shown();
    QString plain;
    for (const QChar c : text.trimmed()) {
        if (c.isDigit())
            plain += QChar('0' + c.digitValue());
        else if (c == QLatin1Char('.') || c == locale.decimalPoint())
            plain += QLatin1Char('.');
        else if (c == QLatin1Char('-') || c == locale.negativeSign())
            plain += QLatin1Char('-');
        else if (c == QLatin1Char('+') || c == locale.positiveSign())
            plain += QLatin1Char('+');
        else if (c == QLatin1Char('e') || c == QLatin1Char('E') || c == locale.exponential())
            plain += QLatin1Char('e');
        else
            return false;
    }
    static const QRegularExpression number(QStringLiteral("^[+-]?(\\d+\\.?\\d*|\\.\\d+)(e[+-]?\\d+)?$"));
    bool ok = false;
    if (number.match(plain).hasMatch())
        *value = plain.toDouble(&ok);
    return ok && std::isfinite(*value);
}

// "1.000" where "." groups digits: a thousand to the language, one to a
// program that writes a decimal point. "0.025" or "1234.567" group nothing.
bool groupsLikeThousands(const QString& text)
{
    const QLocale locale = InterfaceLocale::shown();
    if (locale.decimalPoint() == QLatin1Char('.') || locale.groupSeparator() != QLatin1Char('.'))
        return false;
    static const QRegularExpression grouped(QStringLiteral("^[+-]?[1-9]\\d{0,2}\\.\\d{3}$"));
    return grouped.match(text.trimmed()).hasMatch();
}
} // namespace

NumberField::NumberField(QWidget* parent)
    : QLineEdit(parent)
{
}

void NumberField::setRange(double minimum, double maximum)
{
    m_minimum = minimum;
    m_maximum = maximum;
}

void NumberField::setUnit(Unit unit)
{
    m_unit = unit;
    showUnit();
}

void NumberField::setValue(double value, int decimals)
{
    m_shownValue = value;
    m_shownDecimals = decimals;
    m_shownText = toText(value, decimals);
    setText(m_shownText);
}

double NumberField::value() const
{
    double typed = 0.0;
    return isAsShown() || !readAllowed(&typed) ? m_shownValue : typed;
}

bool NumberField::readAllowed(double* typed) const
{
    return read(text(), typed) && *typed >= m_minimum && *typed <= m_maximum
        && (!m_whole || std::trunc(*typed) == *typed);
}

QString NumberField::problem() const
{
    double typed = 0.0;
    if (isAsShown() || readAllowed(&typed))
        return QString();
    double grouped = 0.0;
    if (groupsLikeThousands(text()) && readNumber(text(), &typed)
        && readNumber(QString(text()).remove(QLatin1Char('.')), &grouped))
        return tr("%1: “%2” is ambiguous, as “.” may separate thousands or decimals: write %3 or %4.")
            .arg(label(), text(), toText(typed), toText(grouped));
    QString upper = toText(m_maximum);
    if (!m_unitText.isEmpty())
        upper += QLatin1Char(' ') + m_unitText;
    const QString range
        = m_whole ? tr("%1: enter a whole number from %2 to %3.") : tr("%1: enter a number from %2 to %3.");
    return range.arg(label(), toText(m_minimum), upper);
}

QString NumberField::toText(double value, int decimals)
{
    return InterfaceLocale::number(value, decimals);
}

QString NumberField::millimetres()
{
    return InterfaceLocale::millimetreUnit();
}

bool NumberField::read(const QString& text, double* value)
{
    return !groupsLikeThousands(text) && readNumber(text, value);
}

QString NumberField::refuseInvalid(QWidget* dialog)
{
    for (NumberField* field : dialog->findChildren<NumberField*>()) {
        const QString message = field->problem();
        if (message.isEmpty())
            continue;
        field->reveal();
        Prompt::warning(dialog, tr("Warning"), message);
        field->setFocus(Qt::OtherFocusReason);
        field->selectAll();
        return message;
    }
    return QString();
}

// The text of the label that names the field in its form, without the
// shortcut mark and a closing colon.
QString NumberField::label() const
{
    const QLabel* named = nullptr;
    for (const QFormLayout* form : window()->findChildren<QFormLayout*>())
        named = named ? named : qobject_cast<const QLabel*>(form->labelForField(const_cast<NumberField*>(this)));
    if (!named)
        return window()->windowTitle();
    QString text = named->text();
    text.replace(QRegularExpression(QStringLiteral("&(.)")), QStringLiteral("\\1"));
    return text.remove(QRegularExpression(QStringLiteral("\\s*[:：]\\s*$")));
}

// A field on a tab not shown comes into view.
void NumberField::reveal()
{
    for (QWidget* ancestor = parentWidget(); ancestor; ancestor = ancestor->parentWidget()) {
        if (auto* tabs = qobject_cast<QTabWidget*>(ancestor)) {
            for (int tab = 0; tab < tabs->count(); ++tab)
                if (tabs->widget(tab)->isAncestorOf(this))
                    tabs->setCurrentIndex(tab);
        }
    }
}

// The unit sits in a margin kept free at the end of the text, on the left
// in a right-to-left layout.
void NumberField::showUnit()
{
    m_unitText = m_unit == Unit::Millimetre ? millimetres() : QString();
    const int room = m_unitText.isEmpty() ? 0 : fontMetrics().horizontalAdvance(m_unitText) + kUnitGap;
    if (layoutDirection() == Qt::RightToLeft)
        setTextMargins(room, 0, 0, 0);
    else
        setTextMargins(0, 0, room, 0);
    update();
}

// A value still as the dialog put it in is shown again in the new
// language's way of writing numbers.
void NumberField::changeEvent(QEvent* event)
{
    QLineEdit::changeEvent(event);
    switch (event->type()) {
    case QEvent::LanguageChange:
        if (isAsShown())
            setValue(m_shownValue, m_shownDecimals);
        showUnit();
        break;
    case QEvent::LayoutDirectionChange:
    case QEvent::FontChange:
        showUnit();
        break;
    default:
        break;
    }
}

void NumberField::paintEvent(QPaintEvent* event)
{
    QLineEdit::paintEvent(event);
    if (m_unitText.isEmpty())
        return;
    QStyleOptionFrame option;
    initStyleOption(&option);
    QRect room = style()->subElementRect(QStyle::SE_LineEditContents, &option, this);
    room.adjust(kUnitGap / 2, 0, -kUnitGap / 2, 0);
    QPainter painter(this);
    painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::Text));
    const Qt::Alignment end = layoutDirection() == Qt::RightToLeft ? Qt::AlignLeft : Qt::AlignRight;
    painter.drawText(room, int(end | Qt::AlignVCenter), m_unitText);
}
