#pragma once

#include "TranslatedDialog.h"

#include <QPointF>

class CColorPickButton;
class DlgTextHost;
class NumberField;
class QCheckBox;
class QFontComboBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTextCharFormat;

// The text tool's dialog, shown modeless beside the canvas: the text, its
// font and colour, and the document point where it goes, typed in or picked
// on the canvas with "Get Position".
class DlgText : public TranslatedDialog
{
    Q_OBJECT
public:
    DlgText(DlgTextHost* view, const QPointF& position, QWidget* parent);

    // A point picked on the canvas.
    void setPosition(const QPointF& point);
    QPointF position() const;
    QTextCharFormat textFormat() const;

public slots:
    // Inserts the text (an empty one inserts nothing) and closes; a
    // number out of range is refused and the dialog stays.
    void accept() override;

protected:
    void retranslateUi() override;

private:
    NumberField* addCoordinate(const QString& label, double value);

    DlgTextHost* m_view;
    QPlainTextEdit* m_text = nullptr;
    QFontComboBox* m_family = nullptr;
    NumberField* m_size = nullptr;
    QCheckBox* m_bold = nullptr;
    QCheckBox* m_italic = nullptr;
    QCheckBox* m_underline = nullptr;
    CColorPickButton* m_color = nullptr;
    NumberField* m_x = nullptr;
    NumberField* m_y = nullptr;
    QLabel* m_textLabel = nullptr;
    QLabel* m_familyLabel = nullptr;
    QLabel* m_sizeLabel = nullptr;
    QPushButton* m_pick = nullptr;
};
