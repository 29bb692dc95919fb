#pragma once

#include <QFileDialog>
#include <QMessageBox>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>

class QDialog;
class QWidget;

// Every modal question the program asks (message boxes, file dialogs, other
// modal dialogs) goes through here, so that a test can answer it without a
// window ever blocking. Without a handler the real Qt dialogs run. A box
// shows its text as written, names with "<" or "&" in them too, unless it
// is asked for rich text.
class Prompt
{
public:
    enum class Kind { Information, Warning, Critical, Question, About, OpenFile, SaveFile, Modal };

    // Receives the kind of question, its title (or caption) and its text (a
    // file dialog's filter; a progress dialog's label) and returns the answer:
    // a QMessageBox::StandardButton for the boxes, a path for the file
    // dialogs, a dialog result for Modal. An invalid answer means "closed
    // without a choice" for boxes and file dialogs, and "run the dialog for
    // real" for Modal, which suits dialogs that close themselves.
    using Handler = std::function<QVariant(Kind kind, const QString& title, const QString& text)>;

    // An empty handler brings the real dialogs back.
    static void setHandler(Handler handler);

    static QMessageBox::StandardButton information(QWidget* parent, const QString& title, const QString& text,
        QMessageBox::StandardButtons buttons = QMessageBox::Ok);
    static QMessageBox::StandardButton warning(QWidget* parent, const QString& title, const QString& text,
        QMessageBox::StandardButtons buttons = QMessageBox::Ok);
    static QMessageBox::StandardButton critical(QWidget* parent, const QString& title, const QString& text,
        QMessageBox::StandardButtons buttons = QMessageBox::Ok);
    static QMessageBox::StandardButton question(QWidget* parent, const QString& title, const QString& text,
        QMessageBox::StandardButtons buttons = QMessageBox::Yes | QMessageBox::No);
    static void about(QWidget* parent, const QString& title, const QString& text);
    // A warning with a Cancel button and an added accept button: true only
    // for the accept button. A handler answers QMessageBox::Yes for it.
    static bool confirm(QWidget* parent, const QString& title, const QString& text, const QString& acceptText,
        const QString& cancelText, Qt::TextFormat format = Qt::PlainText);

    static QString getOpenFileName(QWidget* parent, const QString& caption, const QString& folder,
        const QString& filter, QFileDialog::Options options = QFileDialog::Options());
    // Several existing files; a handler answers a list (or one path).
    static QStringList getOpenFileNames(
        QWidget* parent, const QString& caption, const QString& folder, const QString& filter);
    static QString getSaveFileName(
        QWidget* parent, const QString& caption, const QString& folder, const QString& filter);

    // Runs a modal dialog: QDialog::exec, or the handler's answer.
    static int exec(QDialog* dialog);

private:
    static QMessageBox::StandardButton box(
        Kind kind, QWidget* parent, const QString& title, const QString& text, QMessageBox::StandardButtons buttons);
    static Handler& handler();
};
