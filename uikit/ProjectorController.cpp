#include "uikit/ProjectorController.h"

#include <QAction>
#include <QEvent>
#include <QMenu>

namespace velka {

ProjectorController::ProjectorController(QWidget* window, const QString& actionText,
                                         ViewFactory makeView)
    : QObject(window)
    , window_(window)
    , makeView_(std::move(makeView))
    , toggleAction_(new QAction(actionText, this))
{
    toggleAction_->setShortcut(QKeySequence(Qt::Key_F11));
    toggleAction_->setShortcutContext(Qt::WindowShortcut);
    toggleAction_->setCheckable(true);
    connect(toggleAction_, &QAction::triggered, this, &ProjectorController::toggle);
    window_->addAction(toggleAction_);
    window_->installEventFilter(this);
}

ProjectorController::~ProjectorController()
{
    // The views show what their window's models hold; they must not outlive them.
    delete view_.data();
    for (const QPointer<FullScreenView>& view : closing_)
        delete view.data();
}

bool ProjectorController::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == window_ && event->type() == QEvent::Close)
        close();
    return QObject::eventFilter(watched, event);
}

void ProjectorController::toggle()
{
    if (isOpen())
        close();
    else
        open();
}

void ProjectorController::open()
{
    if (!view_) {
        view_ = makeView_(window_);
        view_->setAttribute(Qt::WA_DeleteOnClose);
        // A window manager would otherwise give the new window the keyboard.
        view_->setAttribute(Qt::WA_ShowWithoutActivating);
        // A closed view is deleted later: opened again before then, the view is a new one.
        connect(view_, &FullScreenView::closed, this, [this, view = view_] {
            std::erase(closing_, nullptr);
            closing_.push_back(view);
            if (view_ == view)
                view_ = nullptr;
            toggleAction_->setChecked(false);
        });
    }
    view_->showOn(screenChoice_.resolve(window_));
    // Where the platform activates every window it shows, the keyboard goes back at once.
    if (window_->isVisible())
        window_->activateWindow();
    showState();
}

void ProjectorController::close()
{
    if (view_)
        view_->close();
    showState();
}

bool ProjectorController::isOpen() const
{
    return view_ && view_->isVisible();
}

void ProjectorController::showState()
{
    toggleAction_->setChecked(isOpen());
}

QMenu* ProjectorController::addScreenMenu(QMenu* menu)
{
    auto* screens = new QMenu(QStringLiteral("表示する画面(&S)"), menu);
    // Choosing a monitor moves an open view there at once.
    screenChoice_.addScreenItems(screens, window_, [this] {
        if (isOpen())
            open();
    });
    if (screens->isEmpty()) {
        delete screens;
        return nullptr;
    }
    menu->addMenu(screens);
    return screens;
}

} // namespace velka
