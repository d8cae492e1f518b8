#pragma once

#include <QAction>
#include <QKeySequence>
#include <QString>
#include <QWidget>

namespace velka {

// An action of a whole window: its shortcut works wherever the keyboard is in the window, and
// `owner` (which runs it) owns it, so that menus can list it too.
template <typename Owner, typename Run>
QAction* addWindowAction(QWidget* window, Owner* owner, const char* name, const QString& text,
                         const QKeySequence& keys, Run run)
{
    auto* action = new QAction(text, owner);
    action->setObjectName(QString::fromLatin1(name));
    action->setShortcut(keys);
    action->setShortcutContext(Qt::WindowShortcut);
    QObject::connect(action, &QAction::triggered, owner, run);
    window->addAction(action);
    return action;
}

} // namespace velka
