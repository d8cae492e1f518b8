#pragma once

#include <QObject>
#include <QPointer>

#include <memory>

class QWidget;

namespace velka {

class frmEventTimer;
class frmPairvaneMainForm;
class PublishedAddress;
class SwissDraw;
struct Services;

// The players' page as the program's windows meet it: 「スマートフォンで見る(&F)...」 in the
// board's and the timer display's context menus opens the page's window (one instance,
// modeless, unloaded when it closes); the page's address shows in the corner of both projector
// views while it is on; and the page follows the board and the event timer of the windows
// attached. The page itself lives as long as the program.
//
// Where the page is not built (on Windows, for now) this does nothing and the menus do not
// offer it.
class PlayersPageLink final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PlayersPageLink)

public:
    explicit PlayersPageLink(const Services& services, QObject* parent = nullptr);
    ~PlayersPageLink() override;

    // The page shows this window's board, offered in its menu.
    void attach(frmPairvaneMainForm& form);
    // The page shows this window's clock, offered in its menu.
    void attach(frmEventTimer& window);
    // The page shows this Swiss event while it runs; it outlives the link.
    void attach(SwissDraw& draw);

    // Opens the page's window over `from`, or raises it when it is open.
    void open(QWidget* from);
    // The page's window while it is loaded, or null.
    QWidget* loadedWindow() const;
    // The page's address while it is published, for a projector view's corner; null where the
    // page is not built.
    const PublishedAddress* publishedAddress() const;

private:
    struct Parts;
    std::unique_ptr<Parts> parts_;
};

} // namespace velka
