#include "texts/QtMessageBoxService.h"

#include <QApplication>
#include <QMessageBox>

namespace velomira {

namespace {

QMessageBox::Icon ToQt(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::Exclamation:
        return QMessageBox::Warning;
    case MessageIcon::Question:
        return QMessageBox::Question;
    case MessageIcon::Error:
        return QMessageBox::Critical;
    case MessageIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons ToQt(MessageButtons buttons)
{
    switch (buttons) {
    case MessageButtons::Ok:
        return QMessageBox::Ok;
    case MessageButtons::OkCancel:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case MessageButtons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    case MessageButtons::YesNoCancel:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case MessageButtons::RetryCancel:
        return QMessageBox::Retry | QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}

MessageAnswer FromQt(int button, MessageButtons buttons)
{
    switch (button) {
    case QMessageBox::Ok:
        return MessageAnswer::Ok;
    case QMessageBox::Yes:
        return MessageAnswer::Yes;
    case QMessageBox::No:
        return MessageAnswer::No;
    case QMessageBox::Retry:
        return MessageAnswer::Retry;
    default:
        break;
    }
    // Closing the box answers as its escape button would.
    return buttons == MessageButtons::Ok   ? MessageAnswer::Ok
        : buttons == MessageButtons::YesNo ? MessageAnswer::No
                                           : MessageAnswer::Cancel;
}

} // namespace

MessageIcon EffectiveIcon(const MessageBoxRequest& request)
{
    if (request.icon != MessageIcon::None || !request.title.empty())
        return request.icon;
    switch (request.buttons) {
    case MessageButtons::Ok:
    case MessageButtons::OkCancel:
        return MessageIcon::Exclamation;
    case MessageButtons::YesNo:
        return MessageIcon::Question;
    default:
        return MessageIcon::None;
    }
}

MessageAnswer QtMessageBoxService::Show(const MessageBoxRequest& request)
{
    const QString title = request.title.empty() ? QApplication::applicationName()
                                                : QString::fromStdString(request.title);
    QMessageBox box(ToQt(EffectiveIcon(request)), title, QString::fromStdString(request.text),
        ToQt(request.buttons), m_parent);
    return FromQt(box.exec(), request.buttons);
}

} // namespace velomira
