#pragma once

#include "TranslatedDialog.h"

#include <string>

class CColorPickButton;
class CFillPreview;
class CSVGXmlNode;
class QComboBox;
class QFormLayout;
class QLabel;

// What the gradient and pattern editors share: a form of choices, a preview
// and one paint server whose id is fixed when the dialog opens.
class CDlgFill : public TranslatedDialog
{
    Q_OBJECT
protected:
    explicit CDlgFill(QWidget* parent);

    // The paint server as the choices stand.
    virtual CSVGXmlNode buildServer() const = 0;
    // Shows the server in the preview.
    virtual void showPreview(CFillPreview* preview) const = 0;

    std::wstring markup() const;
    const std::wstring& serverId() const { return m_id; }
    // Adds a row for the field and returns its label, which retranslateUi
    // names.
    QLabel* addRow(QWidget* field);
    CColorPickButton* newColorButton(const QColor& color);
    // Names the box's entries in order, adding those it lacks.
    static void setItemTexts(QComboBox* box, const QStringList& texts);
    // Adds the preview and the buttons below the form; call once, last.
    void finishLayout();

    // Writes a colour as "#rrggbb" and its alpha as a separate opacity.
    static void setPaint(
        CSVGXmlNode& node, const std::wstring& colorName, const std::wstring& opacityName, const QColor& color);
    static std::wstring number(double value);

protected slots:
    void refreshPreview();

private:
    std::wstring m_id;
    QFormLayout* m_form = nullptr;
    CFillPreview* m_preview = nullptr;
};
