#include "swiss/frmSwissDraw.h"

#include "board/frmPairvaneMainForm.h"
#include "bracket/BracketRounds.h"
#include "swiss/PlayerListFile.h"
#include "swiss/SwissCsv.h"
#include "swiss/SwissDraw.h"
#include "swiss/TopCut.h"
#include "tests/support/AccessKeys.h"
#include "tests/support/ScriptedMessageBoxes.h"
#include "tests/support/ScriptedRandom.h"
#include "tests/support/WindowTest.h"
#include "uikit/FileDialogs.h"

#include <QAbstractItemModel>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <map>
#include <memory>

namespace velka {
namespace {

using test::control;

// Answers the file dialogs with prepared paths and records the titles asked.
struct ScriptedFileDialogs final : SaveFileDialogs, OpenFileDialogs {
    QString askSaveFileName(QWidget*, const QString& title, const QString&, const QString&) override
    {
        asked << title;
        return saveAs;
    }
    QString askOpenFileName(QWidget*, const QString& title, const QString&, const QString&) override
    {
        asked << title;
        return open;
    }
    QString saveAs;
    QString open;
    QStringList asked;
};

QString cell(const QTableView* table, int row, int column)
{
    return table->model()->index(row, column).data().toString();
}

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Public throughout, so that the tables of cases below can drive the window too.
class SwissWindowTest : public ::testing::Test {
public:
    void SetUp() override
    {
        boardWindow = std::make_unique<frmPairvaneMainForm>(boxes);
        window = std::make_unique<frmSwissDraw>(draw, boardWindow->board(), boxes);
        window->useFileDialogs(files, files);
        ASSERT_TRUE(test::showActive(window.get()));
    }

    template <typename T = QWidget>
    T* find(const char* name) const
    {
        return control<T>(window.get(), QString::fromLatin1(name));
    }
    QTableView* tables() const { return find<QTableView>("tblTables"); }
    void click(const char* button) { QTest::mouseClick(find<QPushButton>(button), Qt::LeftButton); }
    // The access key Alt+key, as the organiser presses it.
    void accessKey(Qt::Key key)
    {
        QTest::keyClick(window.get(), key, Qt::AltModifier);
        test::finishAccessKeyPresses(window.get());
    }

    // Types the names one a line, as an input method commits them, and adds them.
    void typePlayers(const QStringList& names)
    {
        auto* input = find<QPlainTextEdit>("txtEntry");
        input->setFocus();
        for (const QString& name : names) {
            test::commitThroughInputMethod(input, name);
            QTest::keyClick(input, Qt::Key_Return);
        }
        accessKey(Qt::Key_A);
    }
    void addPlayers(int count)
    {
        QStringList names;
        for (int i = 1; i <= count; ++i)
            names << QStringLiteral("P%1").arg(i);
        typePlayers(names);
    }
    // Types keys on the list of tables: "21" is the result 2-1 in 2本先取.
    void typeOnTables(const char* keys)
    {
        tables()->setFocus();
        for (const char* k = keys; *k; ++k)
            QTest::keyClick(tables(), static_cast<Qt::Key>(Qt::Key_0 + (*k - '0')));
    }
    std::string lastMessage() const { return boxes.shown.empty() ? "" : boxes.shown.back().text; }

    test::ScriptedMessageBoxes boxes;
    test::ScriptedRandom random{{}, 11};
    SwissDraw draw{random};
    ScriptedFileDialogs files;
    QTemporaryDir folder;
    std::unique_ptr<frmPairvaneMainForm> boardWindow;
    std::unique_ptr<frmSwissDraw> window;
};

// Nine players from the first typed name to the champion of the top cut on the board: four
// rounds of 2本先取 with results typed on the tables, the standings, both CSV files saved and
// read back, the top four onto the board and marked through to the final.
TEST_F(SwissWindowTest, RunsAnEventOfNineFromTheFirstNameToTheChampion)
{
    const QStringList names = {
        QStringLiteral("佐藤 翔太"), QStringLiteral("鈴木 美咲"), QStringLiteral("高橋 蓮"),
        QStringLiteral("田中 結衣"), QStringLiteral("伊藤 陽翔"), QStringLiteral("渡辺 さくら"),
        QStringLiteral("山本 大和"), QStringLiteral("中村 葵"),   QStringLiteral("小林 湊")};
    typePlayers(names);
    ASSERT_EQ(draw.event().players.size(), 9u);
    EXPECT_TRUE(find<QPlainTextEdit>("txtEntry")->toPlainText().isEmpty());
    EXPECT_EQ(find<QSpinBox>("spnRounds")->value(), 4) << "the suggestion for nine";
    auto* cut = find<QComboBox>("cboTopCut");
    cut->setFocus();
    QTest::keyClick(cut, Qt::Key_Down);
    QTest::keyClick(cut, Qt::Key_Down);
    ASSERT_EQ(draw.event().settings.topCut, 4);

    // The results typed, table by table; the bye is the last table. A player's record before
    // each round is counted here from what was typed.
    const std::vector<std::vector<const char*>> typed = {{"20", "21", "02", "12"},
                                                         {"11", "20", "21", "00"},
                                                         {"21", "02", "20", "12"},
                                                         {"20", "20", "12", "21"}};
    std::map<std::string, std::array<int, 3>> record; // wins, losses, draws
    for (int round = 1; round <= 4; ++round) {
        accessKey(Qt::Key_P);
        ASSERT_EQ(window->shownRound(), round) << lastMessage();
        EXPECT_EQ(find<QSpinBox>("spnRounds")->isEnabled(), false) << "settings fixed";
        ASSERT_EQ(tables()->model()->rowCount(), 5);
        EXPECT_EQ(cell(tables(), 4, 3), QStringLiteral("不戦勝"));
        EXPECT_EQ(cell(tables(), 4, 4), QStringLiteral("（不戦勝）"));
        EXPECT_EQ(window->selectedTable(), 0) << "the first table without a result";
        for (int t = 0; t < 5; ++t) {
            for (int side : {1, 4}) {
                const std::string who = cell(tables(), t, side).toStdString();
                if (who == "（不戦勝）")
                    continue;
                const auto& r = record[who];
                EXPECT_EQ(cell(tables(), t, side + 1).toStdString(),
                          std::to_string(r[0]) + "-" + std::to_string(r[1]) + "-" +
                              std::to_string(r[2]) + "（" + std::to_string(3 * r[0] + r[2]) +
                              "点）")
                    << "round " << round << ", table " << t + 1;
            }
        }
        for (int t = 0; t < 4; ++t) {
            typeOnTables(typed[round - 1][t]);
            EXPECT_EQ(window->selectedTable(), t < 3 ? t + 1 : 3) << "moves to the next table";
        }
        EXPECT_TRUE(boxes.shown.empty()) << lastMessage();
        for (int t = 0; t < 5; ++t) {
            const std::string a = cell(tables(), t, 1).toStdString();
            const std::string b = cell(tables(), t, 4).toStdString();
            const QString result = cell(tables(), t, 3);
            if (t == 4) {
                ++record[a][0];
                continue;
            }
            const int ga = result.front().digitValue();
            const int gb = result.back().digitValue();
            EXPECT_EQ(
                result,
                QStringLiteral("%1-%2").arg(typed[round - 1][t][0]).arg(typed[round - 1][t][1]));
            const int winner = ga > gb ? 0 : ga < gb ? 1 : 2;
            if (winner == 2) {
                ++record[a][2];
                ++record[b][2];
            } else {
                ++record[winner == 0 ? a : b][0];
                ++record[winner == 0 ? b : a][1];
            }
        }
        EXPECT_TRUE(
            find<QLabel>("lblRoundState")->text().contains(QStringLiteral("5卓のうち 5卓")));
    }
    EXPECT_FALSE(find<QPushButton>("cmdPair")->isEnabled()) << "all four rounds are paired";

    // The standings agree with the records counted above, best first.
    accessKey(Qt::Key_S);
    ASSERT_EQ(find<QTabWidget>("tabEvent")->currentIndex(), 1);
    auto* standings = find<QTableView>("tblStandings");
    ASSERT_EQ(standings->model()->rowCount(), 9);
    EXPECT_EQ(standings->model()->headerData(4, Qt::Horizontal).toString(), QStringLiteral("OMW%"));
    int previousPoints = 99;
    QStringList ranked;
    for (int row = 0; row < 9; ++row) {
        const std::string who = cell(standings, row, 1).toStdString();
        const auto& r = record.at(who);
        const int points = cell(standings, row, 2).toInt();
        EXPECT_EQ(points, 3 * r[0] + r[2]) << who;
        EXPECT_EQ(cell(standings, row, 3).toStdString(),
                  std::to_string(r[0]) + "-" + std::to_string(r[1]) + "-" + std::to_string(r[2]));
        EXPECT_LE(points, previousPoints);
        previousPoints = points;
        for (int column = 4; column <= 6; ++column)
            EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\d{2,3}\\.\\d\\d$"))
                            .match(cell(standings, row, column))
                            .hasMatch())
                << cell(standings, row, column).toStdString();
        ranked << cell(standings, row, 1);
    }

    // Both CSV files, saved under names typed without the ending, and read back.
    files.saveAs = folder.filePath(QStringLiteral("standings"));
    accessKey(Qt::Key_V);
    const CsvRecords standingsCsv =
        parseCsv(readAll(files.saveAs + QStringLiteral(".csv")).toStdString());
    ASSERT_EQ(standingsCsv.records.size(), 10u);
    EXPECT_EQ(standingsCsv.records[0],
              (std::vector<std::string>{"順位", "名前", "ふりがな", "勝ち点", "勝", "負", "分",
                                        "OMW%", "GW%", "OGW%", "状態"}));
    for (int row = 0; row < 9; ++row) {
        EXPECT_EQ(standingsCsv.records[row + 1][1], ranked[row].toStdString());
        EXPECT_EQ(standingsCsv.records[row + 1][7], cell(standings, row, 4).toStdString());
    }
    accessKey(Qt::Key_G);
    files.saveAs = folder.filePath(QStringLiteral("round4.csv"));
    accessKey(Qt::Key_C);
    const CsvRecords pairingsCsv = parseCsv(readAll(files.saveAs).toStdString());
    ASSERT_EQ(pairingsCsv.records.size(), 6u);
    for (int t = 0; t < 5; ++t) {
        EXPECT_EQ(pairingsCsv.records[t + 1][0], "4");
        EXPECT_EQ(pairingsCsv.records[t + 1][2], cell(tables(), t, 1).toStdString());
    }
    EXPECT_EQ(pairingsCsv.records[5][8], "不戦勝");
    EXPECT_TRUE(boxes.shown.empty()) << lastMessage();

    // The top four, seeded 1-4 and 2-3 from the top, onto the board as a draw of four.
    if (topCut(draw.event()).cut->tieAtTheCut)
        boxes.answers.push_back(MessageAnswer::Yes);
    accessKey(Qt::Key_T);
    const BracketBoard& board = boardWindow->board();
    const QStringList seeded = {ranked[0], ranked[3], ranked[1], ranked[2]};
    for (int slot = 0; slot < board::kSlotCount; ++slot)
        EXPECT_EQ(QString::fromStdString(board.slotCaption(slot)),
                  slot < 4 ? seeded[slot] : QString())
            << "slot " << slot;
    EXPECT_EQ(board.fieldSize(), 4);
    EXPECT_EQ(control<QLabel>(boardWindow.get(), QStringLiteral("lblMenber(3)"))->text(),
              ranked[2]);

    // Marked on the board: the first seed wins both matches.
    ASSERT_TRUE(test::showActive(boardWindow.get()));
    const auto box = [&](int k) {
        QTest::mouseClick(
            control<QCheckBox>(boardWindow.get(), QStringLiteral("chkTournament(%1)").arg(k)),
            Qt::LeftButton);
    };
    QTest::mouseClick(control<QPushButton>(boardWindow.get(), QStringLiteral("cmdProgress")),
                      Qt::LeftButton);
    box(1);  // seed 4 loses to seed 1
    box(2);  // seed 2 loses to seed 3
    box(17); // seed 3 loses the final
    const std::optional<bracket::BracketState> bracket = bracket::bracketFrom(board.tournament());
    ASSERT_TRUE(bracket);
    ASSERT_GE(bracket->champion, 0);
    EXPECT_EQ(QString::fromStdString(bracket->players[bracket->champion].name), ranked[0]);

    // Once the board holds marks, the cut asks first; No leaves the board alone.
    const Tournament marked = board.tournament();
    ASSERT_TRUE(test::showActive(window.get()));
    if (topCut(draw.event()).cut->tieAtTheCut)
        boxes.answers.push_back(MessageAnswer::Yes);
    boxes.answers.push_back(MessageAnswer::No);
    click("cmdTopCut");
    EXPECT_EQ(boxes.shown.back(), BracketBoard::replaceQuestion("決勝トーナメントへ"));
    EXPECT_EQ(boxes.owners.back(), window.get());
    EXPECT_EQ(board.tournament(), marked);
}

// Every command and every labelled control has an access key of its own, whatever the state.
TEST_F(SwissWindowTest, EveryCommandHasAnAccessKeyOfItsOwn)
{
    const auto check = [this](const char* when) {
        for (const QPushButton* button : window->findChildren<QPushButton*>())
            EXPECT_FALSE(test::accessKeyOf(button->text()).isNull())
                << button->objectName().toStdString() << " " << when;
        for (const auto& [key, holders] : test::accessKeysOf(window.get()))
            EXPECT_EQ(holders.size(), 1) << "Alt+" << QString(key).toStdString() << " " << when
                                         << ": " << holders.join(u' ').toStdString();
    };
    check("at first");
    addPlayers(5);
    accessKey(Qt::Key_P);
    find<QTableView>("tblPlayers")
        ->setCurrentIndex(find<QTableView>("tblPlayers")->model()->index(0, 0));
    accessKey(Qt::Key_K);
    ASSERT_EQ(find<QPushButton>("cmdDrop")->text(), QStringLiteral("棄権を取り消す(&K)"));
    check("with a round paired and a player dropped");
    EXPECT_EQ(test::accessKeysOf(window.get()).size(), 22u);
}

// What the window's refusals say, over the window, and that each changes nothing.
struct Refusal {
    const char* name;
    std::function<void(SwissWindowTest&)> setUp;
    std::function<void(SwissWindowTest&)> act;
    const char* says;
};

void PrintTo(const Refusal& r, std::ostream* out)
{
    *out << r.name;
}

class WindowRefusals : public SwissWindowTest, public ::testing::WithParamInterface<Refusal> {};

TEST_P(WindowRefusals, SayWhyOverTheWindowAndChangeNothing)
{
    GetParam().setUp(*this);
    ASSERT_TRUE(boxes.shown.empty()) << lastMessage();
    const SwissEvent before = draw.event();
    GetParam().act(*this);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].title, "Error");
    EXPECT_NE(boxes.shown[0].text.find(GetParam().says), std::string::npos) << lastMessage();
    EXPECT_EQ(boxes.owners[0], window.get());
    EXPECT_EQ(draw.event(), before);
}

void fourPaired(SwissWindowTest& t)
{
    t.addPlayers(4);
    t.accessKey(Qt::Key_P);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WindowRefusals,
    ::testing::Values(
        Refusal{"DuplicateName", [](auto& f) { f.addPlayers(4); },
                [](auto& f) {
                    f.typePlayers({QStringLiteral("New"), QStringLiteral("P2")});
                },
                "「P2」はすでに参加者にいます"},
        Refusal{"The257thPlayer", [](auto& f) { f.addPlayers(256); },
                [](auto& f) { f.typePlayers({QStringLiteral("One more")}); },
                "参加者は256人までです"},
        Refusal{"ThreePlayersPaired", [](auto& f) { f.addPlayers(3); },
                [](auto& f) { f.accessKey(Qt::Key_P); }, "参加者が4人以上必要です"},
        Refusal{"NextRoundBeforeEveryResult",
                [](auto& f) {
                    fourPaired(f);
                    f.typeOnTables("20");
                },
                [](auto& f) { f.accessKey(Qt::Key_P); }, "第1回戦の結果がまだすべて入っていません"},
        Refusal{"ATopCutLargerThanTheField",
                [](auto& f) {
                    f.addPlayers(8);
                    auto* cut = f.template find<QComboBox>("cboTopCut");
                    cut->setFocus();
                    for (int i = 0; i < 3; ++i)
                        QTest::keyClick(cut, Qt::Key_Down);
                    auto* players = f.template find<QTableView>("tblPlayers");
                    players->setCurrentIndex(players->model()->index(0, 0));
                    f.click("cmdRemove");
                },
                [](auto& f) { f.accessKey(Qt::Key_P); }, "決勝トーナメントの人数（8人）"},
        Refusal{"RemovingAPairedPlayer", fourPaired,
                [](auto& f) {
                    auto* players = f.template find<QTableView>("tblPlayers");
                    players->setCurrentIndex(players->model()->index(2, 0));
                    f.accessKey(Qt::Key_D);
                },
                "「P3」はすでに組み合わせに入っているため、削除できません"},
        Refusal{"AResultOnTheBye",
                [](auto& f) {
                    f.addPlayers(5);
                    f.accessKey(Qt::Key_P);
                    f.tables()->setCurrentIndex(f.tables()->model()->index(2, 0));
                },
                [](auto& f) { f.typeOnTables("20"); }, "不戦勝の卓の結果は変えられません"},
        Refusal{"TwoTwoInBestOfThree", fourPaired, [](auto& f) { f.typeOnTables("22"); },
                "その結果は2本先取にはありません"},
        Refusal{"ANameTakenInTheList", [](auto& f) { f.addPlayers(4); },
                [](auto& f) {
                    auto* players = f.template find<QTableView>("tblPlayers");
                    players->setFocus();
                    players->setCurrentIndex(players->model()->index(0, 0));
                    QTest::keyClick(players, Qt::Key_F2);
                    auto* editor = players->template findChild<QLineEdit*>();
                    ASSERT_NE(editor, nullptr);
                    editor->selectAll();
                    QTest::keyClicks(editor, QStringLiteral("P4"));
                    QTest::keyClick(editor, Qt::Key_Return);
                    QCoreApplication::processEvents(); // the delegate commits queued
                },
                "「P4」はすでに参加者にいます"}),
    [](const auto& test) { return std::string(test.param.name); });

// A list file as the organiser might choose it: what is read, or why nothing is.
struct ListFile {
    const char* name;
    const char* fileName;
    QByteArray bytes;
    std::vector<PlayerEntry> players; // empty: refused
    const char* says;                 // what the refusal says
};

void PrintTo(const ListFile& f, std::ostream* out)
{
    *out << f.name;
}

class ListFiles : public SwissWindowTest, public ::testing::WithParamInterface<ListFile> {};

TEST_P(ListFiles, AreReadWholeOrNotAtAll)
{
    const ListFile& f = GetParam();
    addPlayers(1);
    files.open = folder.filePath(QString::fromUtf8(f.fileName));
    if (!f.bytes.isNull()) {
        QFile file(files.open);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(f.bytes);
    }
    const SwissEvent before = draw.event();
    accessKey(Qt::Key_F);
    std::vector<PlayerEntry> read;
    for (std::size_t p = 1; p < draw.event().players.size(); ++p)
        read.push_back({draw.event().players[p].name, draw.event().players[p].reading});
    EXPECT_EQ(read, f.players);
    if (f.players.empty()) {
        EXPECT_EQ(draw.event(), before);
        ASSERT_EQ(boxes.shown.size(), 1u);
        EXPECT_NE(lastMessage().find(f.says), std::string::npos) << lastMessage();
        EXPECT_NE(lastMessage().find(f.fileName), std::string::npos) << "names the file";
    } else {
        EXPECT_TRUE(boxes.shown.empty()) << lastMessage();
    }
}

// Shift_JIS written out by hand: 佐藤 (8D B2 93 A1), さとう (82 B3 82 C6 82 A4), ① (87 40),
// 髙橋 (FB FC 8B B4), たかはし (82 BD 82 A9 82 CD 82 B5).
const QByteArray kShiftJisCsv("\x8d\xb2\x93\xa1,\x82\xb3\x82\xc6\x82\xa4\r\n"
                              "\x87\x40\xfb\xfc\x8b\xb4,\x82\xbd\x82\xa9\x82\xcd\x82\xb5\r\n");

INSTANTIATE_TEST_SUITE_P(
    Cases, ListFiles,
    ::testing::Values(
        ListFile{"Utf8Lines",
                 "names.txt",
                 QByteArray("佐藤\n\n  鈴木 \r\n"),
                 {{"佐藤", ""}, {"鈴木", ""}},
                 ""},
        ListFile{"Utf8CsvWithByteOrderMark",
                 "names.csv",
                 QByteArray("\xEF\xBB\xBF名前,ふりがな\r\n佐藤,さとう\r\n\"髙橋, 一\",\r\n"),
                 {{"佐藤", "さとう"}, {"髙橋, 一", ""}},
                 ""},
        ListFile{"ShiftJisCsv",
                 "名簿.CSV",
                 kShiftJisCsv,
                 {{"佐藤", "さとう"}, {"①髙橋", "たかはし"}},
                 ""},
        ListFile{"NeitherUtf8NorShiftJis",
                 "names.txt",
                 QByteArray("\x82\xff\x80\n"),
                 {},
                 "文字を読み取れません"},
        ListFile{"BinaryWithNul",
                 "picture.png",
                 QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16),
                 {},
                 "文字を読み取れません"},
        ListFile{"Missing", "gone.txt", QByteArray(), {}, "ファイルを開けません"},
        ListFile{"ChosenByMistake",
                 "video.txt",
                 QByteArray(kMaxPlayerListBytes + 1, 'a'),
                 {},
                 "ファイルが大きすぎます"},
        ListFile{"UnclosedQuote",
                 "names.csv",
                 QByteArray("A\r\n\"B,\r\nC\r\n"),
                 {},
                 "2行目で始まる引用符"},
        ListFile{"NoNames", "empty.txt", QByteArray("\r\n  \r\n"), {}, "名前がひとつもありません"}),
    [](const auto& test) { return std::string(test.param.name); });

// The list of players in Japanese order: by the reading where there is one, else by the name,
// and again when a reading is typed into the list.
TEST_F(SwissWindowTest, PlayersStandInTheOrderOfTheirReadings)
{
    files.open = folder.filePath(QStringLiteral("list.csv"));
    QFile file(files.open);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("渡辺,わたなべ\n阿部,\nBen,\n加藤,かとう\nさとう,\n青木,あおき\n");
    file.close();
    accessKey(Qt::Key_F);
    auto* players = find<QTableView>("tblPlayers");
    const auto shown = [&] {
        QStringList names;
        for (int row = 0; row < players->model()->rowCount(); ++row)
            names << cell(players, row, 0);
        return names;
    };
    // Latin before kana, kana before kanji: 阿部 without a reading goes last.
    EXPECT_EQ(shown(), (QStringList{QStringLiteral("Ben"), QStringLiteral("青木"),
                                    QStringLiteral("加藤"), QStringLiteral("さとう"),
                                    QStringLiteral("渡辺"), QStringLiteral("阿部")}));

    players->setFocus();
    players->setCurrentIndex(players->model()->index(5, 1));
    QTest::keyClick(players, Qt::Key_F2);
    auto* editor = players->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    test::commitThroughInputMethod(editor, QStringLiteral("あべ"));
    QTest::keyClick(editor, Qt::Key_Return);
    QCoreApplication::processEvents(); // the delegate commits queued
    EXPECT_EQ(draw.event().players[1].reading, "あべ");
    EXPECT_EQ(shown(), (QStringList{QStringLiteral("Ben"), QStringLiteral("青木"),
                                    QStringLiteral("阿部"), QStringLiteral("加藤"),
                                    QStringLiteral("さとう"), QStringLiteral("渡辺")}));
    EXPECT_EQ(window->selectedPlayer(), 1) << "the selection moves with the player";
}

} // namespace
} // namespace velka
