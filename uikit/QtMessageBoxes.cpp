#include "uikit/QtMessageBoxes.h"

#include <QApplication>
#include <QMessageBox>

namespace velka {

MessageAnswer QtMessageBoxes::show(const Message& message)
{
    const QMessageBox::Icon icon =
        message.icon == MessageIcon::Warning ? QMessageBox::Warning : QMessageBox::Information;
    const bool question = message.buttons == MessageButtons::YesNo;
    const QMessageBox::StandardButtons buttons =
        question ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok;
    // Lines are separated by CR LF in the program; Qt breaks a plain text at LF.
    QString text = QString::fromStdString(message.text);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));

    QMessageBox box(icon, QString::fromStdString(message.title), text, buttons,
                    QApplication::activeWindow());
    box.setTextFormat(Qt::PlainText);
    if (question)
        box.setDefaultButton(QMessageBox::Yes);
    const int chosen = box.exec();
    if (!question)
        return MessageAnswer::Ok;
    return chosen == QMessageBox::Yes ? MessageAnswer::Yes : MessageAnswer::No;
}

} // namespace velka
