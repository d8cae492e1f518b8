// The players' page as the organiser meets it, through the program's real windows: the page's
// window from both context menus, the server on loopback, the QR code on the projector views
// read back by zbarimg, and a change on the board reaching a phone's event stream. Every server
// here listens on 127.0.0.1 and every client connects there; the address lists other addresses
// only to see how the window offers them.
#include "app/Shell.h"

#include "board/BracketProjectorView.h"
#include "board/frmPairvaneMainForm.h"
#include "draw/BracketShape.h"
#include "follow/PagePublisher.h"
#include "follow/frmFollowPage.h"
#include "tests/follow/RawHttp.h"
#include "tests/support/RecordingWebBrowser.h"
#include "tests/support/ScriptedMessageBoxes.h"
#include "tests/support/ScriptedRandom.h"
#include "tests/support/TestClock.h"
#include "tests/support/WindowTest.h"
#include "timer/TimerProjectorView.h"
#include "timer/frmEventTimer.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <unistd.h>

#include <memory>
#include <set>

namespace velka {
namespace {

using follow::NetworkAddress;
using test::control;
using test::HttpResponse;
using test::RawConnection;

class FixedAddresses final : public follow::AddressSource {
public:
    std::vector<NetworkAddress> addresses() const override { return found; }
    std::vector<NetworkAddress> found;
};

// What zbarimg reads in the picture: the text of its QR code, or "" when it finds none.
std::string readQrCode(const QImage& picture)
{
    const QString zbarimg = QStringLiteral(VELKA_ZBARIMG);
    if (zbarimg.isEmpty()) {
        ADD_FAILURE() << "zbarimg is missing: install zbar-tools, then configure again";
        return {};
    }
    QTemporaryDir folder;
    const QString file = folder.filePath(QStringLiteral("picture.png"));
    EXPECT_TRUE(picture.save(file));
    QProcess zbar;
    zbar.start(zbarimg, {QStringLiteral("--raw"), QStringLiteral("-q"), file});
    EXPECT_TRUE(zbar.waitForFinished(60'000));
    return zbar.readAllStandardOutput().trimmed().toStdString();
}

// Every letter after a "&" in the menu's items, with the items that share one.
std::string sharedAccessKeys(const QMenu& menu)
{
    std::set<QChar> seen;
    std::string shared;
    for (const QAction* action : menu.actions()) {
        const QString text = action->menu() ? action->menu()->title() : action->text();
        const qsizetype at = text.indexOf(u'&');
        if (at >= 0 && at + 1 < text.size() && !seen.insert(text[at + 1].toUpper()).second)
            shared += text.toStdString() + " ";
    }
    return shared;
}

QAction* itemNamed(const QMenu& menu, const char* name)
{
    for (QAction* action : menu.actions()) {
        if (action->objectName() == QLatin1String(name))
            return action;
    }
    ADD_FAILURE() << "no item " << name;
    return nullptr;
}

class PlayersPageTest : public ::testing::Test {
protected:
    void SetUp() override { startShell(0); }
    void TearDown() override { shell.reset(); }

    void startShell(std::uint16_t firstPort)
    {
        shell.reset();
        shell = std::make_unique<Shell>(
            Services{boxes, random, clock, browser, nullptr, nullptr, &addresses, firstPort});
        shell->start();
        // A field of four, drawn: the names are in the page's bracket.
        BracketBoard& board = main()->board();
        for (int slot = 0; slot < board::kSlotCount; ++slot)
            board.setSlotCaption(slot, "選手" + std::to_string(slot + 1));
        ShapeBracket(board, 4);
        board.recordDraw(4, std::nullopt);
    }

    frmPairvaneMainForm* main() const { return shell->loadedMainForm(); }
    frmEventTimer& timer()
    {
        shell->OpenEventTimer();
        return *shell->loadedEventTimer();
    }
    follow::frmFollowPage* window() const
    {
        return qobject_cast<follow::frmFollowPage*>(shell->loadedPlayersPage());
    }
    follow::PagePublisher& publisher() const { return window()->publisher(); }

    // Opens the page's window as the organiser does, from the board's context menu.
    follow::frmFollowPage* openWindow()
    {
        const std::unique_ptr<QMenu> menu(main()->outputs().createMenu(main()));
        if (QAction* item = itemNamed(*menu, "actPlayersPage"))
            item->trigger();
        return window();
    }

    // Opens the window and ticks its box, as a click does.
    void turnOn()
    {
        auto* box = control<QCheckBox>(openWindow(), QStringLiteral("chkPublish"));
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(box->height() / 2, box->height() / 2));
    }

    QString shown(const char* label) const
    {
        return control<QLabel>(window(), QString::fromLatin1(label))->text();
    }

    std::optional<HttpResponse> get(const std::string& path)
    {
        RawConnection c(publisher().server()->port());
        c.request("GET", path, "127.0.0.1:" + std::to_string(publisher().server()->port()));
        return c.response();
    }

    // An open event stream from a phone at `from`, past its first state.
    std::unique_ptr<RawConnection> phone(const char* from = "127.0.0.2")
    {
        const std::uint16_t port = publisher().server()->port();
        auto stream = std::make_unique<RawConnection>(port, from);
        stream->request("GET", "/events", "127.0.0.1:" + std::to_string(port));
        EXPECT_TRUE(stream->streamHeaders());
        EXPECT_FALSE(nextState(*stream).is_null());
        return stream;
    }

    // The event loop's pass to its end, where the page publishes what changed in it.
    void endPass() const
    {
        EXPECT_TRUE(QTest::qWaitFor([&] { return !publisher().publishPending(); }, 5'000));
    }

    // The data of the next "state" event.
    static nlohmann::json nextState(RawConnection& stream)
    {
        if (stream.readStreamUntil("event: state\ndata: ").empty())
            return {};
        const std::string data = stream.readStreamUntil("\n\n");
        return nlohmann::json::parse(data.substr(0, data.size() - 2), nullptr, false);
    }

    test::ScriptedMessageBoxes boxes;
    test::ScriptedRandom random;
    test::TestClock clock;
    test::RecordingWebBrowser browser;
    FixedAddresses addresses;
    std::unique_ptr<Shell> shell;
};

TEST_F(PlayersPageTest, BothMenusOpenOneWindowThatStartsOff)
{
    const std::unique_ptr<QMenu> boardMenu(main()->outputs().createMenu(main()));
    const std::unique_ptr<QMenu> timerMenu = timer().hall().contextMenu();
    QWidget* first = nullptr;
    for (QMenu* menu : {boardMenu.get(), timerMenu.get()}) {
        const char* item = menu == boardMenu.get() ? "actPlayersPage" : "playersPageAction";
        EXPECT_EQ(sharedAccessKeys(*menu), "") << item;
        QAction* action = itemNamed(*menu, item);
        ASSERT_NE(action, nullptr);
        EXPECT_EQ(action->text(), QStringLiteral("スマートフォンで見る(&F)..."));
        action->trigger();
        first = first ? first : window();
    }
    follow::frmFollowPage* page = window();
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page, first);
    EXPECT_EQ(page->parentWidget(), nullptr); // the main window or the timer may close first
    EXPECT_TRUE(page->isVisible());
    EXPECT_FALSE(control<QCheckBox>(page, QStringLiteral("chkPublish"))->isChecked());
    EXPECT_FALSE(publisher().isOn());
    EXPECT_EQ(shown("lblAddress"), QStringLiteral("公開していません"));
    EXPECT_EQ(readQrCode(control<QWidget>(page, QStringLiteral("picQrCode"))->grab().toImage()),
              "");
}

TEST_F(PlayersPageTest, OffersPrivateAddressesFirstAndChoosesTheFirstOfThem)
{
    const auto at = [](const char* address, const char* name) {
        return NetworkAddress{address, name, NetworkAddress::Kind::Other};
    };
    struct Case {
        std::vector<NetworkAddress> found;
        std::vector<const char*> offered;
        const char* chosen;
    };
    const std::vector<Case> cases = {
        {{at("203.0.113.7", "eth0"), at("192.168.1.23", "wlan0"), at("10.0.0.4", "usb0")},
         {"192.168.1.23（wlan0）", "10.0.0.4（usb0）", "203.0.113.7（eth0）",
          "127.0.0.1（このパソコンのみ）"},
         "192.168.1.23"},
        // Another network is offered but never chosen for the organiser.
        {{at("203.0.113.7", "eth0"), at("127.0.0.1", "lo")},
         {"203.0.113.7（eth0）", "127.0.0.1（このパソコンのみ）"},
         "127.0.0.1"},
        {{}, {"127.0.0.1（このパソコンのみ）"}, "127.0.0.1"},
        {{at("172.31.9.9", "br0"), at("172.32.0.1", "tun0")},
         {"172.31.9.9（br0）", "172.32.0.1（tun0）", "127.0.0.1（このパソコンのみ）"},
         "172.31.9.9"},
    };
    for (const Case& c : cases) {
        addresses.found = c.found;
        startShell(0);
        follow::frmFollowPage* page = openWindow();
        auto* list = control<QComboBox>(page, QStringLiteral("cboNetwork"));
        std::vector<std::string> offered;
        for (int i = 0; i < list->count(); ++i)
            offered.push_back(list->itemText(i).toStdString());
        EXPECT_EQ(offered, std::vector<std::string>(c.offered.begin(), c.offered.end()));
        EXPECT_EQ(page->offered().at(list->currentIndex()).address, c.chosen);
        EXPECT_FALSE(publisher().isOn()) << c.chosen;
    }
}

TEST_F(PlayersPageTest, PublishesTheBoardOnLoopbackUntilTurnedOff)
{
    turnOn();
    ASSERT_TRUE(publisher().isOn()) << publisher().lastError();
    const std::string url =
        "http://127.0.0.1:" + std::to_string(publisher().server()->port()) + "/";
    EXPECT_EQ(shown("lblAddress").toStdString(), url);
    EXPECT_FALSE(control<QLabel>(window(), QStringLiteral("lblProblem"))->isVisible());
    EXPECT_EQ(readQrCode(control<QWidget>(window(), QStringLiteral("picQrCode"))->grab().toImage()),
              url);
    const std::optional<HttpResponse> state = get("/state");
    ASSERT_TRUE(state);
    const nlohmann::json bracket = nlohmann::json::parse(state->body)["bracket"];
    ASSERT_TRUE(bracket.is_object()) << state->body;
    EXPECT_EQ(bracket["fieldSize"], 4);
    for (const nlohmann::json& player : bracket["players"])
        EXPECT_EQ(player["name"].get<std::string>().rfind("選手", 0), 0u) << player;

    // A phone follows, beside the one that fetched the state: the window counts both within a
    // tick of the server noticing.
    const std::unique_ptr<RawConnection> stream = phone();
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            publisher().tick();
            return shown("lblPhones") == QStringLiteral("つながっているスマートフォン: 2 台");
        },
        20'000))
        << shown("lblPhones").toStdString();

    // Closing the window leaves the page on; turned off, its connections end.
    window()->close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(openWindow()->publisher().isOn());
    EXPECT_TRUE(control<QCheckBox>(window(), QStringLiteral("chkPublish"))->isChecked());
    control<QCheckBox>(window(), QStringLiteral("chkPublish"))->setChecked(false);
    EXPECT_FALSE(publisher().isOn());
    EXPECT_TRUE(stream->closedByServer());
    EXPECT_EQ(shown("lblAddress"), QStringLiteral("公開していません"));
    EXPECT_EQ(shown("lblPhones"), QString());
}

TEST_F(PlayersPageTest, SaysInPlainWordsWhenItCannotPublish)
{
    std::uint16_t first = 0;
    const std::vector<int> held = test::holdPorts(11, first);
    ASSERT_EQ(held.size(), 11u);
    startShell(first);
    turnOn();
    for (int fd : held)
        ::close(fd);
    EXPECT_FALSE(publisher().isOn());
    EXPECT_FALSE(control<QCheckBox>(window(), QStringLiteral("chkPublish"))->isChecked());
    const std::string problem = shown("lblProblem").toStdString();
    EXPECT_TRUE(control<QLabel>(window(), QStringLiteral("lblProblem"))->isVisible());
    EXPECT_NE(problem.find("ポート " + std::to_string(first) + "～" + std::to_string(first + 10)),
              std::string::npos)
        << problem;
    EXPECT_NE(problem.find("ほかのプログラムが使っています"), std::string::npos) << problem;
    EXPECT_FALSE(publisher().publishedAddress().isPublished());
    // Ticked again with the ports free, it publishes and the message goes.
    control<QCheckBox>(window(), QStringLiteral("chkPublish"))->setChecked(true);
    EXPECT_TRUE(publisher().isOn());
    EXPECT_EQ(publisher().server()->port(), first);
    EXPECT_FALSE(control<QLabel>(window(), QStringLiteral("lblProblem"))->isVisible());
}

TEST_F(PlayersPageTest, AnotherAddressChosenWhilePublishedTakesThePageThere)
{
    // A private address this computer does not have: binding to it fails and sends nothing.
    std::string absent;
    for (int last = 250; absent.empty() && last > 200; --last) {
        const std::string candidate = "10.254.253." + std::to_string(last);
        const std::vector<NetworkAddress> here = follow::connectedIPv4Addresses();
        if (std::none_of(here.begin(), here.end(),
                         [&](const NetworkAddress& a) { return a.address == candidate; }))
            absent = candidate;
    }
    ASSERT_FALSE(absent.empty());
    addresses.found = {{absent, "wlan0", {}}};
    startShell(0);
    follow::frmFollowPage* page = openWindow();
    auto* list = control<QComboBox>(page, QStringLiteral("cboNetwork"));
    ASSERT_EQ(list->currentText().toStdString(), absent + "（wlan0）");
    list->setCurrentIndex(1); // this computer only; the page is still off
    EXPECT_FALSE(publisher().isOn());
    control<QCheckBox>(page, QStringLiteral("chkPublish"))->setChecked(true);
    ASSERT_TRUE(publisher().isOn());
    EXPECT_EQ(publisher().address(), "127.0.0.1");
    const std::unique_ptr<RawConnection> stream = phone();

    list->setCurrentIndex(0);
    EXPECT_TRUE(stream->closedByServer());
    EXPECT_FALSE(publisher().isOn());
    EXPECT_NE(shown("lblProblem").toStdString().find("アドレス " + absent + " がありません"),
              std::string::npos)
        << shown("lblProblem").toStdString();
    // Opened again, the window shows the address last chosen.
    page->close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(openWindow()
                  ->offered()
                  .at(control<QComboBox>(window(), QStringLiteral("cboNetwork"))->currentIndex())
                  .address,
              absent);
}

TEST_F(PlayersPageTest, ProjectorViewsShowTheAddressAsAQrCodeTheRoomCanScan)
{
    timer().hall().openProjector();
    main()->outputs().openProjector();
    struct View {
        const char* name;
        std::function<FullScreenView*()> view;
        std::function<std::unique_ptr<QMenu>()> menu;
        const char* cornerItem;
    };
    const std::vector<View> views = {
        {"bracket", [&] { return main()->outputs().projector(); },
         [&] { return std::unique_ptr<QMenu>(main()->outputs().createMenu(main())); },
         "actAddressCorner"},
        {"timer", [&] { return timer().hall().projectorView(); },
         [&] { return timer().hall().contextMenu(); }, "addressCornerAction"},
    };
    for (const View& v : views)
        EXPECT_EQ(readQrCode(v.view()->grab().toImage()), "") << v.name << ", page off";

    turnOn();
    ASSERT_TRUE(publisher().isOn());
    const std::string url = publisher().url();
    for (const View& v : views) {
        const QImage picture = v.view()->grab().toImage();
        EXPECT_EQ(readQrCode(picture), url) << v.name;
        // Nothing of the bracket or the clock inside the corner: only the code and its address,
        // in black and white.
        const QRect corner = v.view()->addressCorner().area;
        ASSERT_FALSE(corner.isEmpty()) << v.name;
        int coloured = 0;
        for (int y = corner.top(); y <= corner.bottom(); ++y) {
            for (int x = corner.left(); x <= corner.right(); ++x) {
                const QColor pixel = picture.pixelColor(x, y);
                coloured += pixel.red() != pixel.green() || pixel.green() != pixel.blue();
            }
        }
        EXPECT_EQ(coloured, 0) << v.name;
        if (v.view() == main()->outputs().projector()) {
            const QRectF bracket =
                BracketProjectorView::placement(v.view()->size(), main()->board(), corner)
                    .mapRect(QRectF(bracketArea(main()->board())));
            EXPECT_FALSE(bracket.intersects(corner)) << v.name;
        }

        // Hidden from the window's context menu, the code goes from that view alone.
        QAction* hide = itemNamed(*v.menu(), v.cornerItem);
        ASSERT_NE(hide, nullptr);
        EXPECT_EQ(hide->text(), QStringLiteral("QRコードを表示する(&Q)"));
        EXPECT_TRUE(hide->isChecked());
        hide->trigger();
        EXPECT_EQ(readQrCode(v.view()->grab().toImage()), "") << v.name << ", hidden";
    }
    // Shown again, it comes back; with the page off it goes.
    itemNamed(*views[1].menu(), views[1].cornerItem)->trigger();
    EXPECT_EQ(readQrCode(views[1].view()->grab().toImage()), url);
    control<QCheckBox>(window(), QStringLiteral("chkPublish"))->setChecked(false);
    EXPECT_EQ(readQrCode(views[1].view()->grab().toImage()), "");
}

TEST_F(PlayersPageTest, TheBoardAndTheTimerReachAnOpenEventStream)
{
    frmEventTimer& clockWindow = timer();
    turnOn();
    ASSERT_TRUE(publisher().isOn());
    const std::unique_ptr<RawConnection> stream = phone();
    BracketBoard& board = main()->board();

    // A mark: the loser's box of the first match played unticked, in the real window.
    QTest::mouseClick(control<QPushButton>(main(), QStringLiteral("cmdShow")), Qt::LeftButton);
    QTest::mouseClick(control<QPushButton>(main(), QStringLiteral("cmdProgress")), Qt::LeftButton);
    int loser = 0;
    while (!board.boxChecked(loser))
        ++loser;
    const nlohmann::json before = nlohmann::json::parse(
        follow::makeSnapshot(board.tournament(), nullptr, false, clock, SteadyClock())
            ->json(0))["bracket"];
    QTest::mouseClick(control<QCheckBox>(main(), QStringLiteral("chkTournament(%1)").arg(loser)),
                      Qt::LeftButton);
    endPass();
    const nlohmann::json marked = nextState(*stream);
    const nlohmann::json expected = nlohmann::json::parse(
        follow::makeSnapshot(board.tournament(), nullptr, false, clock, SteadyClock())
            ->json(0))["bracket"];
    EXPECT_NE(expected, before);
    EXPECT_EQ(marked["bracket"], expected);

    // The "Time Up!!" box opens and closes.
    clockWindow.hall().timeUpShown(true);
    endPass();
    EXPECT_EQ(nextState(*stream)["clock"]["mode"], "timeUp");
    clockWindow.hall().timeUpShown(false);
    endPass();
    EXPECT_EQ(nextState(*stream)["clock"]["mode"], "timeOfDay");

    // The main window closes while the timer runs on: the page keeps the last bracket.
    main()->close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_EQ(main(), nullptr);
    publisher().tick();
    const std::optional<HttpResponse> state = get("/state");
    ASSERT_TRUE(state);
    EXPECT_EQ(nlohmann::json::parse(state->body)["bracket"], expected);
}

} // namespace
} // namespace velka
