// Serves the players' page from a real board and a real event timer on 127.0.0.1, for the
// browser test. Prints one JSON line each time the published state changes: {"url",
// "countDownEnd", "state"}. Reads commands, one per line:
//
//   mark <box> <0|1>     unchecks (0) or checks (1) a winner box on the board
//   countdown <seconds>  starts the timer's countdown over that many seconds
//   close-time-up        the organiser closes the "Time Up!!" box
//   stop                 stops the server
//   quit
//
// With --swiss it serves a Swiss event of 33 players in its first round instead, and reads also:
//
//   finish               enters every missing result of the latest round (the first player of
//                        odd tables wins 2-0, of even ones loses 1-2)
//   pair                 pairs the next round
//
// The timer ticks every 100 ms, as the window's does; the heartbeat comes every second.

#include "bracket/BracketBoard.h"
#include "draw/Draw.h"
#include "draw/EntryList.h"
#include "playerspage/PageServer.h"
#include "swiss/ReadingOrder.h"
#include "swiss/SwissDraw.h"
#include "tests/support/ScriptedRandom.h"
#include "timer/EventTimer.h"

#include <nlohmann/json.hpp>

#include <poll.h>
#include <unistd.h>

#include <iostream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

using namespace velka;

namespace {

// The same pairings on every run.
class SeededRandom final : public RandomSource {
public:
    void reseedFromClock() override {}
    double next() override { return unitInterval(engine_()); }

private:
    std::mt19937_64 engine_{33};
};

// Thirty-three players, readings in hiragana and katakana, names that look like markup or turn
// their writing round among them.
const std::vector<PlayerEntry> kSwissPlayers = {{"山田太郎", "やまだたろう"},
                                                {"山田花子", "ヤマダハナコ"},
                                                {"田中一", "たなかはじめ"},
                                                {"<b>太字</b>", ""},
                                                {"Bob & \"Ann\"", ""},
                                                {"\u202eMallory", ""},
                                                {"<img src=x onerror=alert(1)>", ""},
                                                {"鈴木一郎", "すずきいちろう"},
                                                {"佐藤健", "さとうけん"},
                                                {"高橋優", "たかはしゆう"},
                                                {"伊藤光", "いとうひかる"},
                                                {"渡辺翔", "わたなべしょう"},
                                                {"中村愛", "なかむらあい"},
                                                {"小林蓮", "こばやしれん"},
                                                {"加藤陽", "かとうひなた"},
                                                {"吉田葵", "よしだあおい"},
                                                {"山口湊", "やまぐちみなと"},
                                                {"松本楓", "まつもとかえで"},
                                                {"井上樹", "いのうえいつき"},
                                                {"木村凛", "きむらりん"},
                                                {"林大和", "はやしやまと"},
                                                {"斎藤結", "さいとうゆい"},
                                                {"清水蒼", "しみずあお"},
                                                {"山崎陸", "やまざきりく"},
                                                {"森悠真", "もりゆうま"},
                                                {"池田芽依", "いけだめい"},
                                                {"橋本颯", "はしもとはやて"},
                                                {"阿部咲", "あべさき"},
                                                {"石川悠斗", "いしかわゆうと"},
                                                {"前田紬", "まえだつむぎ"},
                                                {"藤田奏", "ふじたかなで"},
                                                {"Zoë Ångström", ""},
                                                {"ｱﾝﾄﾞｳ ﾐｷ", "あんどうみき"}};

struct Hall {
    BracketBoard board;
    SystemClock clock;
    SteadyClock steady;
    EventTimer timer{clock};
    bool timeUpShown = false;
    std::string lastTag;
    SeededRandom random;
    SwissDraw swiss{random};

    void publish(playerspage::PageServer& server)
    {
        const SwissEvent& event = swiss.event();
        const std::shared_ptr<const playerspage::PageSnapshot> s = playerspage::makeSnapshot(
            board.tournament(),
            playerspage::swissPageState(event, board.tournament(), readingOrder(event.players)),
            &timer, timeUpShown, clock, steady);
        server.publish(s);
        if (s->etag() == lastTag)
            return;
        lastTag = s->etag();
        const nlohmann::json line = {
            {"url", server.url()},
            {"countDownEnd", timer.countDownEnd()},
            {"state", nlohmann::json::parse(s->json(steady.milliseconds()))}};
        std::cout << line.dump() << std::endl;
    }
};

// The latest round's missing results.
void finishRound(SwissDraw& swiss)
{
    const SwissRound& round = swiss.event().rounds.back();
    for (std::size_t t = 0; t < round.tables.size(); ++t) {
        if (!round.tables[t].result)
            swiss.setResult(static_cast<int>(t),
                            t % 2 == 0 ? MatchResult{2, 0, 0} : MatchResult{1, 2, 0});
    }
}

} // namespace

int main(int argc, char** argv)
{
    Hall hall;
    if (argc > 1 && std::string(argv[1]) == "--swiss") {
        if (hall.swiss.addPlayers(kSwissPlayers) || hall.swiss.pairNextRound())
            return 1;
    }
    hall.board.Load();
    EntryList entries;
    addEntries(
        entries,
        "Alice\r\n山田太郎\r\n<b>太字</b>\r\nBob & \"Ann\"\r\n\u202eMallory\r\n鈴木一郎\r\n");
    test::ScriptedRandom inOrder(std::deque<double>(6, 0.0));
    const DrawResult drawn = drawField({"7", true, "シード選手"}, entries, hall.board, inOrder);
    if (!drawn.drawn())
        return 1;
    hall.board.ToggleProgress();
    hall.board.setBoxChecked(1, false); // Alice beat 山田太郎
    hall.timer.setMinuteText("1");
    hall.timer.setSecondText("30");
    hall.timer.setCountingDown(true);
    hall.timer.TimerTick();

    playerspage::ServerSettings settings;
    settings.heartbeat = std::chrono::seconds(1);
    playerspage::PageServer server(hall.steady, settings);
    if (!server.start("127.0.0.1", 0)) {
        std::cerr << server.lastError() << std::endl;
        return 1;
    }
    hall.publish(server); // nobody knows the address before this line

    std::string pendingInput;
    for (;;) {
        pollfd in{STDIN_FILENO, POLLIN, 0};
        if (::poll(&in, 1, 100) == 1) {
            char buffer[512];
            const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
            if (n <= 0)
                break;
            pendingInput.append(buffer, static_cast<std::size_t>(n));
        }
        for (std::size_t end = 0; (end = pendingInput.find('\n')) != std::string::npos;) {
            std::istringstream command(pendingInput.substr(0, end));
            pendingInput.erase(0, end + 1);
            std::string word;
            command >> word;
            if (word == "mark") {
                int box = 0, checked = 0;
                command >> box >> checked;
                hall.board.setBoxChecked(box, checked != 0);
            } else if (word == "countdown") {
                std::string seconds;
                command >> seconds;
                hall.timer.setMinuteText("0");
                hall.timer.setSecondText(seconds);
                if (hall.timer.countingDown())
                    hall.timer.StartCountDown();
                else
                    hall.timer.setCountingDown(true);
            } else if (word == "finish") {
                finishRound(hall.swiss);
            } else if (word == "pair") {
                if (hall.swiss.pairNextRound())
                    return 1;
            } else if (word == "close-time-up") {
                hall.timeUpShown = false;
            } else if (word == "stop") {
                server.stop();
            } else if (word == "quit") {
                return 0;
            }
        }
        if (hall.timer.TimerTick())
            hall.timeUpShown = true;
        hall.publish(server);
    }
    return 0;
}
