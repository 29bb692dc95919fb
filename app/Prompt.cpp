#include "Prompt.h"

#include <QDialog>
#include <QFileDialog>
#include <QProgressDialog>
#include <QPushButton>

namespace {
QMessageBox::Icon iconOf(Prompt::Kind kind)
{
    switch (kind) {
    case Prompt::Kind::Warning:
        return QMessageBox::Warning;
    case Prompt::Kind::Critical:
        return QMessageBox::Critical;
    case Prompt::Kind::Question:
        return QMessageBox::Question;
    default:
        return QMessageBox::Information;
    }
}
} // namespace

Prompt::Handler& Prompt::handler()
{
    static Handler current;
    return current;
}

void Prompt::setHandler(Handler handler)
{
    Prompt::handler() = std::move(handler);
}

QMessageBox::StandardButton Prompt::box(
    Kind kind, QWidget* parent, const QString& title, const QString& text, QMessageBox::StandardButtons buttons)
{
    if (handler()) {
        const QVariant answer = handler()(kind, title, text);
        return answer.isValid() ? QMessageBox::StandardButton(answer.toInt()) : QMessageBox::NoButton;
    }
    QMessageBox box(iconOf(kind), title, text, buttons, parent);
    box.setTextFormat(Qt::PlainText);
    if (box.exec() == -1)
        return QMessageBox::Cancel;
    return box.standardButton(box.clickedButton());
}

QMessageBox::StandardButton Prompt::information(
    QWidget* parent, const QString& title, const QString& text, QMessageBox::StandardButtons buttons)
{
    return box(Kind::Information, parent, title, text, buttons);
}

QMessageBox::StandardButton Prompt::warning(
    QWidget* parent, const QString& title, const QString& text, QMessageBox::StandardButtons buttons)
{
    return box(Kind::Warning, parent, title, text, buttons);
}

QMessageBox::StandardButton Prompt::critical(
    QWidget* parent, const QString& title, const QString& text, QMessageBox::StandardButtons buttons)
{
    return box(Kind::Critical, parent, title, text, buttons);
}

QMessageBox::StandardButton Prompt::question(
    QWidget* parent, const QString& title, const QString& text, QMessageBox::StandardButtons buttons)
{
    return box(Kind::Question, parent, title, text, buttons);
}

void Prompt::about(QWidget* parent, const QString& title, const QString& text)
{
    if (handler())
        handler()(Kind::About, title, text);
    else
        QMessageBox::about(parent, title, text);
}

bool Prompt::confirm(QWidget* parent, const QString& title, const QString& text, const QString& acceptText,
    const QString& cancelText, Qt::TextFormat format)
{
    if (handler())
        return handler()(Kind::Warning, title, text).toInt() == QMessageBox::Yes;
    QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::Cancel, parent);
    box.setTextFormat(format);
    box.button(QMessageBox::Cancel)->setText(cancelText);
    QAbstractButton* accept = box.addButton(acceptText, QMessageBox::AcceptRole);
    box.exec();
    return box.clickedButton() == accept;
}

QString Prompt::getOpenFileName(
    QWidget* parent, const QString& caption, const QString& folder, const QString& filter, QFileDialog::Options options)
{
    if (handler())
        return handler()(Kind::OpenFile, caption, filter).toString();
    return QFileDialog::getOpenFileName(parent, caption, folder, filter, nullptr, options);
}

QStringList Prompt::getOpenFileNames(
    QWidget* parent, const QString& caption, const QString& folder, const QString& filter)
{
    if (handler())
        return handler()(Kind::OpenFile, caption, filter).toStringList();
    return QFileDialog::getOpenFileNames(parent, caption, folder, filter);
}

QString Prompt::getSaveFileName(QWidget* parent, const QString& caption, const QString& folder, const QString& filter)
{
    if (handler())
        return handler()(Kind::SaveFile, caption, filter).toString();
    return QFileDialog::getSaveFileName(parent, caption, folder, filter);
}

int Prompt::exec(QDialog* dialog)
{
    if (handler()) {
        const auto* progress = qobject_cast<QProgressDialog*>(dialog);
        const QVariant answer
            = handler()(Kind::Modal, dialog->windowTitle(), progress ? progress->labelText() : QString());
        if (answer.isValid())
            return answer.toInt();
    }
    return dialog->exec();
}
