// The players' page as the organiser meets it, through the program's real windows: the page's
// window from both context menus, the server on loopback, the QR code on the projector views
// read back by zbarimg, and a change on the board reaching a phone's event stream. Every server
// here listens on 127.0.0.1 and every client connects there; the address lists other addresses
// only to see how the window offers them.
#include "app/Shell.h"

#include "board/BracketProjectorView.h"
#include "board/frmPairvaneMainForm.h"
#include "bracket/BracketShape.h"
#include "playerspage/PagePublisher.h"
#include "playerspage/frmPlayersPage.h"
#include "swiss/SwissDraw.h"
#include "swiss/TopCut.h"
#include "swiss/TopCutSeating.h"
#include "tests/playerspage/RawHttp.h"
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

using playerspage::NetworkAddress;
using test::control;
using test::HttpResponse;
using test::RawConnection;

class FixedAddresses final : public playerspage::AddressSource {
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
    playerspage::frmPlayersPage* window() const
    {
        return qobject_cast<playerspage::frmPlayersPage*>(shell->loadedPlayersPage());
    }
    playerspage::PagePublisher& publisher() const { return window()->publisher(); }

    // Opens the page's window as the organiser does, from the board's context menu.
    playerspage::frmPlayersPage* openWindow()
    {
        const std::unique_ptr<QMenu> menu(main()->outputs().createMenu(main()));
        if (QAction* item = itemNamed(*menu, "actPlayersPage"))
            item->trigger();
        return window();
    }

    // Opens the window and ticks its box, as a click does.
    void turnOn()
    {
        openWindow();
        QTest::mouseClick(publishBox(), Qt::LeftButton, {},
                          QPoint(publishBox()->height() / 2, publishBox()->height() / 2));
    }

    template <class Control>
    Control* in(const char* name) const
    {
        return control<Control>(window(), QString::fromLatin1(name));
    }
    QCheckBox* publishBox() const { return in<QCheckBox>("chkPublish"); }
    QComboBox* networkList() const { return in<QComboBox>("cboNetwork"); }
    QString shown(const char* label) const { return in<QLabel>(label)->text(); }
    bool problemShown() const { return in<QLabel>("lblProblem")->isVisible(); }
    std::string qrCodeInWindow() const
    {
        return readQrCode(in<QWidget>("picQrCode")->grab().toImage());
    }
    std::vector<std::string> offered() const
    {
        std::vector<std::string> items;
        for (int i = 0; i < networkList()->count(); ++i)
            items.push_back(networkList()->itemText(i).toStdString());
        return items;
    }
    // The bracket as the page derives it from the board now.
    nlohmann::json boardBracket() const
    {
        return nlohmann::json::parse(playerspage::makeSnapshot(main()->board().tournament(),
                                                               nullptr, false, clock, SteadyClock())
                                         ->json(0))["bracket"];
    }

    // Closes the window as the organiser does and opens it again from the board's menu.
    playerspage::frmPlayersPage* reopenWindow()
    {
        window()->close();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return openWindow();
    }

    // The bracket that /state serves.
    nlohmann::json servedBracket()
    {
        RawConnection c(publisher().server()->port());
        c.request("GET", "/state", "127.0.0.1:" + std::to_string(publisher().server()->port()));
        const std::optional<HttpResponse> r = c.response();
        return r ? nlohmann::json::parse(r->body)["bracket"] : nlohmann::json();
    }

    // An open event stream from a phone at 127.0.0.2, past its first state.
    std::unique_ptr<RawConnection> phone()
    {
        const std::uint16_t port = publisher().server()->port();
        auto stream = std::make_unique<RawConnection>(port, "127.0.0.2");
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
    // Only another network besides this computer: offered, but never chosen for the organiser.
    addresses.found = {{"203.0.113.7", "eth0", {}}};
    startShell(0);
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
    playerspage::frmPlayersPage* page = window();
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page, first);
    EXPECT_EQ(page->parentWidget(), nullptr); // the main window or the timer may close first
    EXPECT_TRUE(page->isVisible());
    EXPECT_FALSE(publishBox()->isChecked());
    EXPECT_FALSE(publisher().isOn());
    EXPECT_EQ(shown("lblAddress"), QStringLiteral("公開していません"));
    EXPECT_EQ(qrCodeInWindow(), "");
    EXPECT_EQ(offered(),
              (std::vector<std::string>{"203.0.113.7（eth0）", "127.0.0.1（このパソコンのみ）"}));
    EXPECT_EQ(networkList()->currentIndex(), 1);
}

TEST_F(PlayersPageTest, PublishesTheBoardOnLoopbackUntilTurnedOff)
{
    turnOn();
    ASSERT_TRUE(publisher().isOn()) << publisher().lastError();
    const std::string url =
        "http://127.0.0.1:" + std::to_string(publisher().server()->port()) + "/";
    EXPECT_EQ(shown("lblAddress").toStdString(), url);
    EXPECT_FALSE(problemShown());
    EXPECT_EQ(qrCodeInWindow(), url);
    EXPECT_EQ(servedBracket(), boardBracket());
    EXPECT_EQ(boardBracket()["fieldSize"], 4);

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
    EXPECT_TRUE(reopenWindow()->publisher().isOn());
    EXPECT_TRUE(publishBox()->isChecked());
    publishBox()->setChecked(false);
    EXPECT_FALSE(publisher().isOn());
    EXPECT_TRUE(stream->closedByServer());
    EXPECT_EQ(shown("lblAddress"), QStringLiteral("公開していません"));
    EXPECT_EQ(shown("lblPhones"), QString());
}

TEST_F(PlayersPageTest, SaysInPlainWordsWhenItCannotPublish)
{
    // A private address this computer does not have: binding to it fails and sends nothing.
    const std::vector<NetworkAddress> here = playerspage::connectedIPv4Addresses();
    std::string absent = "10.254.253.250";
    while (std::any_of(here.begin(), here.end(), [&](auto& a) { return a.address == absent; }))
        absent.back()--;
    addresses.found = {{"203.0.113.7", "eth0", {}}, {absent, "wlan0", {}}};
    std::uint16_t first = 0;
    const std::vector<int> held = test::holdPorts(11, first);
    ASSERT_EQ(held.size(), 11u);
    startShell(first);
    openWindow();
    // A private network first, and chosen.
    ASSERT_EQ(offered(), (std::vector<std::string>{absent + "（wlan0）", "203.0.113.7（eth0）",
                                                   "127.0.0.1（このパソコンのみ）"}));
    ASSERT_EQ(networkList()->currentIndex(), 0);
    networkList()->setCurrentIndex(2); // this computer only; the page is still off
    EXPECT_FALSE(publisher().isOn());

    // Every port taken: the box goes off again and the window says why.
    turnOn();
    for (int fd : held)
        ::close(fd);
    EXPECT_FALSE(publisher().isOn());
    EXPECT_FALSE(publishBox()->isChecked());
    EXPECT_FALSE(publisher().publishedAddress().isPublished());
    EXPECT_TRUE(problemShown());
    const std::string problem = shown("lblProblem").toStdString();
    EXPECT_EQ(problem, publisher().lastError());
    EXPECT_NE(problem.find("ほかのプログラムが使っています"), std::string::npos) << problem;

    // Ticked again with the ports free, it publishes and the message goes.
    publishBox()->setChecked(true);
    ASSERT_TRUE(publisher().isOn());
    EXPECT_EQ(publisher().server()->port(), first);
    EXPECT_EQ(publisher().address(), "127.0.0.1");
    EXPECT_FALSE(problemShown());
    const std::unique_ptr<RawConnection> stream = phone();

    // Another address chosen while published takes the page there, or says why it cannot.
    networkList()->setCurrentIndex(0);
    EXPECT_TRUE(stream->closedByServer());
    EXPECT_FALSE(publisher().isOn());
    EXPECT_NE(shown("lblProblem").toStdString().find("アドレス " + absent + " がありません"),
              std::string::npos)
        << shown("lblProblem").toStdString();
    // Opened again, the window shows the address last chosen.
    EXPECT_EQ(reopenWindow()->offered().at(networkList()->currentIndex()).address, absent);
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
            const QRectF bracket = BracketProjectorView::placedBracket(
                BracketProjectorView::placement(v.view()->size(), main()->board(), corner),
                main()->board());
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
    publishBox()->setChecked(false);
    EXPECT_EQ(readQrCode(views[1].view()->grab().toImage()), "");
}

TEST_F(PlayersPageTest, TheBoardAndTheTimerReachAnOpenEventStream)
{
    frmEventTimer& clockWindow = timer();
    turnOn();
    ASSERT_TRUE(publisher().isOn());
    const std::unique_ptr<RawConnection> stream = phone();

    // A mark: the loser's box of the first match played unticked, in the real window.
    QTest::mouseClick(control<QPushButton>(main(), QStringLiteral("cmdShow")), Qt::LeftButton);
    QTest::mouseClick(control<QPushButton>(main(), QStringLiteral("cmdProgress")), Qt::LeftButton);
    int loser = 0;
    while (!main()->board().boxChecked(loser))
        ++loser;
    const nlohmann::json before = boardBracket();
    QTest::mouseClick(control<QCheckBox>(main(), QStringLiteral("chkTournament(%1)").arg(loser)),
                      Qt::LeftButton);
    endPass();
    const nlohmann::json marked = boardBracket();
    EXPECT_NE(marked, before);
    EXPECT_EQ(nextState(*stream)["bracket"], marked);

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
    EXPECT_EQ(servedBracket(), marked);
}

} // namespace
} // namespace velka

namespace velka {
namespace {

// The Swiss event that the program keeps: a result entered reaches a phone's open event stream at
// the end of the pass, and once its top cut is on the board the phone gets the bracket.
TEST_F(PlayersPageTest, TheSwissEventReachesAnOpenEventStreamUntilItsTopCut)
{
    SwissDraw& swiss = shell->swissDraw();
    ASSERT_FALSE(
        swiss.addPlayers({{"<b>太字</b>", "ふとじ"}, {"Ann", ""}, {"Bob", ""}, {"Cy", ""}}));
    ASSERT_FALSE(swiss.setSettings({2, MatchFormat::BestOfThree, TiebreakerSet::OmwGwOgw, 2}));
    ASSERT_FALSE(swiss.pairNextRound());
    turnOn();
    ASSERT_TRUE(publisher().isOn());
    const std::unique_ptr<RawConnection> stream = phone();

    // The player's line in the state, or null.
    const auto lineOf = [](const nlohmann::json& state, const std::string& name) {
        for (const nlohmann::json& p : state["swiss"]["players"]) {
            if (p["name"] == name)
                return p;
        }
        return nlohmann::json();
    };
    const SwissTable table = swiss.event().rounds[0].tables[0];
    const std::string first = swiss.event().players[table.playerA].name;
    const std::string second = swiss.event().players[table.playerB.value()].name;
    ASSERT_FALSE(swiss.setResult(0, {2, 1, 0}));
    endPass();
    nlohmann::json state = nextState(*stream);
    EXPECT_EQ(lineOf(state, first)["result"], "2-1");
    EXPECT_EQ(lineOf(state, second)["result"], "1-2");
    EXPECT_EQ(state["bracket"], nullptr);
    EXPECT_EQ(state["swiss"]["round"], 1);

    ASSERT_FALSE(swiss.setResult(1, {2, 0, 0}));
    ASSERT_FALSE(swiss.pairNextRound());
    ASSERT_FALSE(swiss.setResult(0, {2, 0, 0}));
    ASSERT_FALSE(swiss.setResult(1, {0, 2, 0}));
    endPass();
    state = nextState(*stream);
    EXPECT_EQ(state["swiss"]["round"], 2);
    EXPECT_EQ(state["swiss"]["standingsAfter"], 2);

    const TopCutResult cut = topCut(swiss.event());
    ASSERT_TRUE(cut.cut);
    seatTopCut(*cut.cut, main()->board());
    endPass();
    state = nextState(*stream);
    EXPECT_EQ(state["swiss"], nullptr);
    EXPECT_EQ(state["bracket"]["players"][0]["name"], cut.cut->names[0]);
}

} // namespace
} // namespace velka
