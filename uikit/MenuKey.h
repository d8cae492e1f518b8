#pragma once

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QKeySequence>
#include <QLineEdit>
#include <QWidget>

#include <functional>
#include <utility>

namespace velka {

// The keyboard's ways to a window's context menu, the Menu key and Shift+F10, wherever the focus
// is in the window: they call showMenu. An input box that can be typed in keeps its own editing
// menu while it has the focus. The action is owner's and is among the window's actions.
inline QAction* addMenuKey(QWidget* window, QObject* owner, std::function<void()> showMenu)
{
    auto* action = new QAction(owner);
    action->setShortcuts({QKeySequence(Qt::Key_Menu), QKeySequence(Qt::SHIFT | Qt::Key_F10)});
    action->setShortcutContext(Qt::WindowShortcut);
    QObject::connect(action, &QAction::triggered, owner, [show = std::move(showMenu)] {
        auto* edit = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        if (edit && !edit->isReadOnly()) {
            const QPoint at = edit->rect().center();
            QContextMenuEvent event(QContextMenuEvent::Keyboard, at, edit->mapToGlobal(at));
            QApplication::sendEvent(edit, &event);
            return;
        }
        show();
    });
    window->addAction(action);
    return action;
}

} // namespace velka
