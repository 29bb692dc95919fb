#pragma once

#include <QLineEdit>

// A number typed into a dialog, kept exactly as typed: it is read with the
// interface language's decimal separator or with ".", and a text that is no
// number, or one outside the field's range, is refused with a message that
// names the range, never dropped, clamped or rounded in silence.
//
// A value the dialog put in (setValue) is given back whole while the field
// still shows it, so showing a value rounded changes nothing; and as the
// user never typed it, it is not held to the range either.
class NumberField : public QLineEdit
{
    Q_OBJECT
public:
    enum class Unit { None, Millimetre };

    explicit NumberField(QWidget* parent = nullptr);

    // The allowed values, both ends included.
    void setRange(double minimum, double maximum);
    double minimum() const { return m_minimum; }
    double maximum() const { return m_maximum; }
    void setWholeNumbers(bool whole) { m_whole = whole; }
    // Shown after the number, in the interface language.
    void setUnit(Unit unit);
    QString unitText() const { return m_unitText; }

    // Shows the value as the interface language writes numbers: to at most
    // that many decimals, or, with -1, with all the digits that give it
    // back exactly.
    void setValue(double value, int decimals = -1);
    // The number typed, or the value put in while the field shows it. A
    // text refused gives the value put in too, but OK refuses such a text
    // before any caller reads it.
    double value() const;
    // What is wrong with the text, naming the range; empty when nothing is.
    QString problem() const;

    // The number as the interface language writes it, without group
    // separators (decimals as for setValue).
    static QString toText(double value, int decimals = -1);
    // "mm", or its translation.
    static QString millimetres();
    // A number written with the interface language's digits and decimal
    // separator, or with "."; a sign and an exponent may come with it, no
    // group separators. False for anything else, infinities included, and
    // for "1.000" where the language groups thousands with ".": that could
    // be one or a thousand.
    static bool read(const QString& text, double* value);
    // Finds the first field of the dialog whose text is refused, tells the
    // user why (naming the range) and puts the focus on it; returns that
    // message, or an empty text when every field holds an allowed value.
    static QString refuseInvalid(QWidget* dialog);

protected:
    void changeEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    // Still showing a value put in (a text put in with setText is typed).
    bool isAsShown() const { return !m_shownText.isEmpty() && text() == m_shownText; }
    // The number typed, when it lies in the range.
    bool readAllowed(double* typed) const;
    QString label() const;
    void showUnit();
    void reveal();

    double m_minimum = -1e300;
    double m_maximum = 1e300;
    bool m_whole = false;
    Unit m_unit = Unit::None;
    QString m_unitText;
    double m_shownValue = 0.0;
    int m_shownDecimals = -1;
    QString m_shownText;
};
