#include "uikit/ProjectorController.h"

#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QMenu>
#include <QScreen>

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
    if (watched == window_ && event->type() == QEvent::Close) {
        viewTakesKeyboard_ = false; // nothing to give back to a window that closes
        close();
    } else if (watched == window_ && event->type() == QEvent::WindowActivate &&
               viewTakesKeyboard_ && isOpen()) {
        // The keyboard came back to the window while the view hides it (a box over it was
        // answered, or the window manager chose it): it goes on to the view, once the
        // activation is done.
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (viewTakesKeyboard_ && isOpen() && QApplication::activeWindow() == window_)
                    view_->activateWindow();
            },
            Qt::QueuedConnection);
    }
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
        // A closed view is deleted later: opened again before then, the view is a new one.
        connect(view_, &FullScreenView::closed, this, [this, view = view_] {
            std::erase(closing_, nullptr);
            closing_.push_back(view);
            if (view_ == view) {
                view_ = nullptr;
                // The keyboard the view took goes back to the window it hid.
                if (viewTakesKeyboard_ && window_->isVisible())
                    window_->activateWindow();
            }
            toggleAction_->setChecked(false);
        });
    }
    if (cornerAction_)
        view_->showAddressCorner(page_, cornerAction_->isChecked());
    QScreen* screen = screenChoice_.resolve(window_);
    // A view over the window it came from hides it: the keyboard goes with the eyes, to the view,
    // whose keys close it. On another monitor it stays with the window.
    viewTakesKeyboard_ = screen == screenOf(window_);
    view_->setAttribute(Qt::WA_ShowWithoutActivating, !viewTakesKeyboard_);
    view_->showOn(screen);
    if (viewTakesKeyboard_) {
        view_->activateWindow();
        view_->setFocus(Qt::ActiveWindowFocusReason);
    } else if (window_->isVisible()) {
        // Where the platform activates every window it shows, the keyboard goes back at once.
        window_->activateWindow();
    }
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

void ProjectorController::offerAddressCorner(const PublishedAddress& page)
{
    page_ = &page;
    if (!cornerAction_) {
        cornerAction_ = new QAction(QStringLiteral("QRコードを表示する(&Q)"), this);
        cornerAction_->setCheckable(true);
        cornerAction_->setChecked(true);
        connect(cornerAction_, &QAction::toggled, this, [this](bool shown) {
            if (view_)
                view_->showAddressCorner(page_, shown);
        });
    }
    if (view_)
        view_->showAddressCorner(page_, cornerAction_->isChecked());
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
