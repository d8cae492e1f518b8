#include "uikit/QtMessageBoxes.h"

#include "uikit/FullScreenView.h"

#include <QApplication>
#include <QFontMetrics>
#include <QGridLayout>
#include <QMessageBox>
#include <QPointer>
#include <QSpacerItem>
#include <QtMath>

namespace velka {

namespace {

// The window icon, three buttons (a dialog may get minimise, maximise and close) and the
// padding between them, as the usual window-manager themes paint them at 96 dpi.
constexpr int kTitleBarDecorations = 4 * 24 + 40;
// Title bar fonts are often a little larger than the dialog's own.
constexpr qreal kTitleFontAllowance = 1.2;

// The organiser's window for a widget: its window, or for a full-screen view the window the view
// belongs to (none when it belongs to no window).
QWidget* organiserWindow(QWidget* widget)
{
    QWidget* window = widget ? widget->window() : nullptr;
    if (auto* view = qobject_cast<FullScreenView*>(window))
        return view->parentWidget() ? organiserWindow(view->parentWidget()) : nullptr;
    return window;
}

} // namespace

int titleBarWidth(const QString& title, const QFont& font)
{
    QFont bold = font;
    bold.setBold(true);
    const int text = QFontMetrics(bold).horizontalAdvance(title);
    return qCeil(text * kTitleFontAllowance) + kTitleBarDecorations;
}

MessageAnswer QtMessageBoxes::show(QWidget* owner, const Message& message)
{
    const QMessageBox::Icon icon =
        message.icon == MessageIcon::Warning ? QMessageBox::Warning : QMessageBox::Information;
    const bool question = message.buttons == MessageButtons::YesNo;
    const QMessageBox::StandardButtons buttons =
        question ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok;
    // Lines are separated by CR LF in the program; Qt breaks a plain text at LF.
    QString text = QString::fromStdString(message.text);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));

    // A box never stands on a full-screen view, where the room would see it and the organiser
    // would not.
    const QPointer<QWidget> working = organiserWindow(QApplication::activeWindow());
    QMessageBox box(icon, QString::fromStdString(message.title), text, buttons,
                    organiserWindow(owner));
    box.setTextFormat(Qt::PlainText);
    // QMessageBox sizes itself to its text; a spacer across its grid makes it at least as wide as
    // its title needs.
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout())) {
        grid->addItem(new QSpacerItem(titleBarWidth(box.windowTitle(), box.font()), 0,
                                      QSizePolicy::Minimum, QSizePolicy::Fixed),
                      grid->rowCount(), 0, 1, grid->columnCount());
    }
    if (question)
        box.setDefaultButton(QMessageBox::Yes);
    const int chosen = box.exec();
    // A box of another window (the timer's "Time Up!!" while the organiser works on the
    // bracket) leaves the keyboard where it was.
    if (working && working->isVisible() && !working->isActiveWindow())
        working->activateWindow();
    if (!question)
        return MessageAnswer::Ok;
    return chosen == QMessageBox::Yes ? MessageAnswer::Yes : MessageAnswer::No;
}

} // namespace velka
