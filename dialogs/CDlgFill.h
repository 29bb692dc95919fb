#pragma once

#include <QDialog>

#include <string>

class CColorPickButton;
class CFillPreview;
class CSVGXmlNode;
class QFormLayout;

// What the gradient and pattern editors share: a form of choices, a preview
// and one paint server whose id is fixed when the dialog opens.
class CDlgFill : public QDialog
{
    Q_OBJECT
protected:
    CDlgFill(const QString& title, QWidget* parent);

    // The paint server as the choices stand.
    virtual CSVGXmlNode buildServer() const = 0;
    // Shows the server in the preview.
    virtual void showPreview(CFillPreview* preview) const = 0;

    std::wstring markup() const;
    const std::wstring& serverId() const { return m_id; }
    QFormLayout* form() const { return m_form; }
    CColorPickButton* addColorRow(const QString& label, const QColor& color);
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
