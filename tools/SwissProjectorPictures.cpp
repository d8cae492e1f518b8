// Paints the Swiss event's projector view into PNG files for the guide (docs/), offscreen:
//
//   swiss_projector_pictures <folder> [width height]
//
// writes pairings-33.png (a third round of 33 players, some results in, the timer counting
// down), pairings-128-page1.png and -page2.png (128 players, turning pages) and standings-33.png.
#include "core/Clock.h"
#include "core/RandomSource.h"
#include "swiss/HallCountdown.h"
#include "swiss/SwissDraw.h"
#include "swiss/SwissProjectorView.h"
#include "uikit/Application.h"

#include <QApplication>
#include <QDir>
#include <QPixmap>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

namespace {

using namespace velka;

class SeededRandom final : public RandomSource {
public:
    void reseedFromClock() override {}
    double next() override { return unitInterval(engine_()); }

private:
    // NOLINTNEXTLINE(cert-msc51-cpp): the same event every time, so the same pictures
    std::mt19937_64 engine_{2026};
};

class StillClock final : public Clock {
public:
    std::int64_t now() const override { return time; }
    std::int64_t time = 1'800'000'000;
};

class ShownCountdown final : public HallCountdown {
public:
    QString timeLeft() const override { return text; }
    QString text;
};

// Names as a shop's regulars have them, with their readings: surnames and given names combined.
std::vector<PlayerEntry> players(int count)
{
    const std::pair<const char*, const char*> surnames[] = {
        {"佐藤", "さとう"},   {"鈴木", "すずき"},   {"高橋", "たかはし"}, {"田中", "たなか"},
        {"伊藤", "いとう"},   {"渡辺", "わたなべ"}, {"山本", "やまもと"}, {"中村", "なかむら"},
        {"小林", "こばやし"}, {"加藤", "かとう"},   {"𠮷田", "よしだ"},   {"山田", "やまだ"},
        {"佐々木", "ささき"}, {"松本", "まつもと"}, {"井上", "いのうえ"}, {"木村", "きむら"}};
    const std::pair<const char*, const char*> givenNames[] = {
        {"翔太", "しょうた"}, {"美咲", "みさき"}, {"蓮", "れん"},
        {"結衣", "ゆい"},     {"陽翔", "はると"}, {"さくら", "さくら"},
        {"大和", "やまと"},   {"葵", "あおい"},   {"湊", "みなと"}};
    std::vector<PlayerEntry> entries;
    for (int i = 0; i < count; ++i) {
        const auto& [surname, surnameReading] = surnames[i % std::size(surnames)];
        const auto& [given, givenReading] =
            givenNames[(i / std::size(surnames) + i) % std::size(givenNames)];
        std::string name = std::string(surname) + " " + given;
        std::string reading = std::string(surnameReading) + " " + givenReading;
        if (i == 5) {
            name = "Alex Whitfield";
            reading = "あれくさんだー";
        }
        entries.push_back({name, reading});
    }
    return entries;
}

bool save(SwissProjectorView& view, const QString& path)
{
    view.repaint();
    const bool saved = view.grab().save(path);
    std::printf("%s: %s\n", qPrintable(path), saved ? "written" : "NOT WRITTEN");
    return saved;
}

// Pairs rounds until `round`, all results in but those of the last round's tables from
// `openFrom` on.
bool play(SwissDraw& draw, int round, int openFrom)
{
    for (int r = 1; r <= round; ++r) {
        if (draw.pairNextRound())
            return false;
        const auto& tables = draw.event().rounds.back().tables;
        for (int t = 0; t < static_cast<int>(tables.size()); ++t) {
            if (tables[static_cast<std::size_t>(t)].bye() || (r == round && t >= openFrom))
                continue;
            const MatchResult results[] = {{2, 0, 0}, {2, 1, 0}, {1, 2, 0}, {0, 2, 0}};
            if (draw.setResult(t, results[t % 4]))
                return false;
        }
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    velka::setUpApplication(app);
    if (argc < 2) {
        std::fprintf(stderr, "usage: swiss_projector_pictures <folder> [width height]\n");
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    const QStringList arguments = QCoreApplication::arguments();
    const QSize screen = arguments.size() >= 4 ? QSize(arguments[2].toInt(), arguments[3].toInt())
                                               : QSize(1920, 1080);
    bool ok = true;
    StillClock clock;
    ShownCountdown countdown;
    countdown.text = QStringLiteral("0 : 23 : 41");

    SeededRandom random33;
    SwissDraw draw33(random33);
    ok &= !draw33.addPlayers(players(33)) && play(draw33, 3, 9);
    {
        SwissProjectorView view(draw33, clock, &countdown);
        view.resize(screen);
        ok &= save(view, folder.filePath(QStringLiteral("pairings-33.png")));
        view.setMode(SwissProjectorView::Mode::Standings);
        ok &= save(view, folder.filePath(QStringLiteral("standings-33.png")));
    }

    SeededRandom random128;
    SwissDraw draw128(random128);
    ok &= !draw128.addPlayers(players(128)) && play(draw128, 2, 40);
    {
        SwissProjectorView view(draw128, clock, &countdown);
        view.resize(screen);
        ok &= save(view, folder.filePath(QStringLiteral("pairings-128-page1.png")));
        clock.time += SwissProjectorView::kPageSeconds;
        view.tick();
        ok &= save(view, folder.filePath(QStringLiteral("pairings-128-page2.png")));
        view.setMode(SwissProjectorView::Mode::Standings);
        ok &= save(view, folder.filePath(QStringLiteral("standings-128.png")));
    }
    return ok ? 0 : 1;
}
