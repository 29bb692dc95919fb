#pragma once

#include <QDialog>
#include <QPointF>

class CColorPickButton;
class DlgTextHost;
class QCheckBox;
class QFontComboBox;
class QLineEdit;
class QPlainTextEdit;
class QSpinBox;
class QTextCharFormat;

// The text tool's dialog, shown modeless beside the canvas: the text, its
// font and colour, and the document point where it goes, typed in or picked
// on the canvas with "Get Position".
class DlgText : public QDialog
{
    Q_OBJECT
public:
    DlgText(DlgTextHost* view, const QPointF& position, QWidget* parent);

    // A point picked on the canvas.
    void setPosition(const QPointF& point);
    QPointF position() const;
    QTextCharFormat textFormat() const;

public slots:
    // Inserts the text (an empty one inserts nothing) and closes.
    void accept() override;

private:
    QLineEdit* addCoordinate(const QString& label, double value);
    static double coordinate(const QLineEdit* field, double fallback);

    DlgTextHost* m_view;
    QPointF m_start;
    QPlainTextEdit* m_text = nullptr;
    QFontComboBox* m_family = nullptr;
    QSpinBox* m_size = nullptr;
    QCheckBox* m_bold = nullptr;
    QCheckBox* m_italic = nullptr;
    QCheckBox* m_underline = nullptr;
    CColorPickButton* m_color = nullptr;
    QLineEdit* m_x = nullptr;
    QLineEdit* m_y = nullptr;
};
