#include "draw/frmNewGame.h"

#include "board/frmPairvaneMainForm.h"
#include "bracket/BracketBoard.h"
#include "tests/support/BoardSnapshot.h"
#include "tests/support/CheckBoxChange.h"
#include "tests/support/EntryNames.h"
#include "tests/support/ScriptedMessageBoxes.h"
#include "tests/support/ScriptedRandom.h"
#include "tests/support/WindowTest.h"

#include <QCheckBox>
#include <QClipboard>
#include <QGroupBox>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTextDocument>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <iostream>
#include <memory>

namespace velka {
namespace {

using test::control;

class NewGameTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        board.Load();
        dialog = std::make_unique<frmNewGame>(board, random, boxes);
        ASSERT_TRUE(test::showActive(dialog.get()));
    }

    template <typename T = QWidget>
    T* find(const char* name) const
    {
        return control<T>(dialog.get(), QString::fromLatin1(name));
    }
    QPlainTextEdit* input() const { return find<QPlainTextEdit>("txtEntry"); }
    void click(const char* button) { QTest::mouseClick(find<QPushButton>(button), Qt::LeftButton); }

    std::vector<std::string> entries() const { return test::namesIn(dialog->entries()); }
    QStringList shownEntries() const
    {
        QStringList out;
        const QAbstractItemModel* model = find<QListView>("lstEntry")->model();
        for (int row = 0; row < model->rowCount(); ++row)
            out << model->index(row, 0).data().toString();
        return out;
    }

    // Types ASCII key by key; other text arrives as an input method commits it.
    static void typeText(QWidget* widget, const QString& text)
    {
        bool ascii = true;
        for (QChar c : text)
            ascii = ascii && c.unicode() >= 0x20 && c.unicode() < 0x7F;
        if (ascii) {
            QTest::keyClicks(widget, text);
            return;
        }
        test::commitThroughInputMethod(widget, text);
    }

    void typeLines(std::initializer_list<const char*> lines)
    {
        input()->setFocus();
        bool first = true;
        for (const char* line : lines) {
            if (!first)
                QTest::keyClick(input(), Qt::Key_Return);
            typeText(input(), QString::fromUtf8(line));
            first = false;
        }
    }

    BracketBoard board;
    test::ScriptedRandom random;
    test::ScriptedMessageBoxes boxes;
    std::unique_ptr<frmNewGame> dialog;
};

TEST_F(NewGameTest, OpensInItsInitialState)
{
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("新規トーナメント設定"));
    EXPECT_EQ(dialog->size(), QSize(455, 230));
    EXPECT_EQ(dialog->minimumSize(), dialog->maximumSize());
    EXPECT_FALSE(dialog->windowFlags() &
                 (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
    EXPECT_TRUE(dialog->windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_EQ(find<QListView>("lstEntry")->model()->rowCount(), 0);
    EXPECT_TRUE(input()->toPlainText().isEmpty());
    EXPECT_EQ(find<QLineEdit>("txtMenber")->text(), QStringLiteral("16"));
    EXPECT_FALSE(find<QCheckBox>("chkSeed")->isChecked());
    EXPECT_TRUE(find<QLineEdit>("txtSeed")->text().isEmpty());
    EXPECT_EQ(find<QGroupBox>("fraEntry")->title(), QStringLiteral("エントリー"));
    EXPECT_EQ(find<QPushButton>("cmdDeleteList")->text(), QStringLiteral("×(&D)"));
    EXPECT_EQ(find<QPushButton>("cmdDeleteList")->toolTip(),
              QStringLiteral("選択メンバーを削除します"));
    EXPECT_EQ(find<QPushButton>("cmdEntry")->text(), QStringLiteral("Enter (&E)"));
    EXPECT_EQ(find<QPushButton>("cmdNewEventExec")->text(),
              QStringLiteral("新規トーナメント開始(&E)"));
    EXPECT_EQ(find<QLabel>("Label1")->text(), QStringLiteral("当選人数(&C)："));
    EXPECT_TRUE(find<QLabel>("Label1")->alignment() & Qt::AlignRight);
    EXPECT_EQ(find<QCheckBox>("chkSeed")->text(),
              QStringLiteral("シード(当選人数奇数のときのみ有効(&S)："));
    for (const char* name : {"cmdDeleteList", "cmdEntry", "cmdNewEventExec"}) {
        EXPECT_FALSE(find<QPushButton>(name)->isDefault()) << name;
        EXPECT_FALSE(find<QPushButton>(name)->autoDefault()) << name;
    }
}

struct Place {
    const char* name;
    QRect pixels; // in the frame, or in the dialog for the frame and the start button
};

void PrintTo(const Place& p, std::ostream* out)
{
    *out << p.name;
}

class NewGamePlaces : public NewGameTest, public ::testing::WithParamInterface<Place> {};

TEST_P(NewGamePlaces, StandWhereDesigned)
{
    EXPECT_EQ(find(GetParam().name)->geometry(), GetParam().pixels);
}

INSTANTIATE_TEST_SUITE_P(
    Controls, NewGamePlaces,
    ::testing::Values(Place{"fraEntry", {7, 7, 442, 190}}, Place{"lstEntry", {7, 14, 379, 79}},
                      Place{"cmdDeleteList", {392, 14, 43, 22}},
                      Place{"txtEntry", {7, 98, 379, 43}}, Place{"cmdEntry", {392, 42, 43, 99}},
                      Place{"cmdNewEventExec", {266, 203, 183, 22}},
                      Place{"txtMenber", {413, 166, 22, 18}}, Place{"Label1", {329, 168, 85, 15}},
                      Place{"chkSeed", {56, 147, 232, 15}}, Place{"txtSeed", {280, 145, 155, 18}}),
    [](const auto& test) { return std::string(test.param.name); });

TEST_F(NewGameTest, TypedLinesBecomeEntriesAndTheInputEmpties)
{
    typeLines({"Alice", "", "  Bob ", "田中"});
    QTest::keyClick(input(), Qt::Key_Return, Qt::ShiftModifier); // a line break of its own kind
    QTest::keyClicks(input(), QStringLiteral("Carol"));
    EXPECT_TRUE(dialog->isVisible()) << "Return starts a new line, nothing else";

    click("cmdEntry");

    EXPECT_EQ(entries(), (std::vector<std::string>{"Alice", "  Bob ", "田中", "Carol"}));
    EXPECT_EQ(shownEntries(), (QStringList{QStringLiteral("Alice"), QStringLiteral("  Bob "),
                                           QStringLiteral("田中"), QStringLiteral("Carol")}));
    EXPECT_TRUE(input()->toPlainText().isEmpty());
}

TEST_F(NewGameTest, PastedTextKeepsEveryCharacter)
{
    QGuiApplication::clipboard()->setText(
        QStringLiteral("X\r\nY\nZ\u00A0W\r\n\r\n😀 e\u0301\r\n\u05E9\u05DC\u05D5\u05DD"));
    input()->setFocus();
    QTest::keyClick(input(), Qt::Key_V, Qt::ControlModifier);
    click("cmdEntry");
    EXPECT_EQ(entries(), (std::vector<std::string>{"X", "Y", "Z\u00A0W", "😀 e\u0301",
                                                   "\u05E9\u05DC\u05D5\u05DD"}));
}

TEST_F(NewGameTest, EnterWithNothingOrOnlyLineBreaks)
{
    click("cmdEntry");
    EXPECT_TRUE(entries().empty());

    typeLines({"", "", ""});
    ASSERT_FALSE(input()->document()->toRawText().isEmpty());
    click("cmdEntry");
    EXPECT_TRUE(entries().empty());
    EXPECT_TRUE(input()->document()->toRawText().isEmpty());
}

TEST_F(NewGameTest, EscapeAndReturnCloseNothing)
{
    QTest::keyClick(dialog.get(), Qt::Key_Escape);
    EXPECT_TRUE(dialog->isVisible());
    auto* size = find<QLineEdit>("txtMenber");
    size->setFocus();
    QTest::keyClick(size, Qt::Key_Return);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_TRUE(boxes.shown.empty()) << "Return pressed no button";
}

TEST_F(NewGameTest, DeleteRemovesTheSelectedEntryAndMovesOn)
{
    typeLines({"A", "B", "C", "D"});
    click("cmdEntry");
    click("cmdDeleteList");
    EXPECT_EQ(entries().size(), 4u) << "nothing selected, nothing deleted";

    auto* list = find<QListView>("lstEntry");
    list->setCurrentIndex(list->model()->index(1, 0));
    click("cmdDeleteList");
    EXPECT_EQ(entries(), (std::vector<std::string>{"A", "C", "D"}));
    click("cmdDeleteList");
    EXPECT_EQ(entries(), (std::vector<std::string>{"A", "D"}));
    click("cmdDeleteList");
    click("cmdDeleteList");
    click("cmdDeleteList");
    EXPECT_TRUE(entries().empty());
    EXPECT_TRUE(shownEntries().isEmpty());
}

TEST_F(NewGameTest, StartDrawsOntoTheBoardAndCloses)
{
    typeLines({"A", "B", "C", "D", "E"});
    click("cmdEntry");
    find<QLineEdit>("txtMenber")->setText(QStringLiteral("５"));
    find<QCheckBox>("chkSeed")->setChecked(true);
    find<QLineEdit>("txtSeed")->setText(QStringLiteral("Seed"));

    click("cmdNewEventExec");

    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(board.slotCaption(4), "Seed");
    EXPECT_EQ(board.slotCaption(5), "");
    EXPECT_EQ(dialog->entries().count(), 1);
    EXPECT_TRUE(board.connectorVisible(2));
    EXPECT_EQ(board.connector(2).y2, 1630);
}

class SeedBoxChange : public NewGameTest, public ::testing::WithParamInterface<test::BoxChange> {};

// The seed box has no reaction of its own: the start reads it, whoever set it.
TEST_P(SeedBoxChange, TheStartReadsTheSeedBoxWhoeverChangedIt)
{
    typeLines({"A", "B", "C", "D", "E"});
    click("cmdEntry");
    find<QLineEdit>("txtMenber")->setText(QStringLiteral("3"));
    find<QLineEdit>("txtSeed")->setText(QStringLiteral("Seed"));
    auto* seed = find<QCheckBox>("chkSeed");
    ASSERT_TRUE(test::changeBox(seed, GetParam()));
    ASSERT_TRUE(seed->isChecked());
    EXPECT_TRUE(find<QLineEdit>("txtSeed")->isEnabled());

    click("cmdNewEventExec");

    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_EQ(board.slotCaption(2), "Seed");
    EXPECT_EQ(dialog->entries().count(), 3) << "two drawn from the list, the seed not";
}

INSTANTIATE_TEST_SUITE_P(Origins, SeedBoxChange, ::testing::ValuesIn(test::kEveryBoxChange),
                         test::boxChangeName);

TEST_F(NewGameTest, RefusedStartKeepsTheDialogItsStateAndTheBoard)
{
    typeLines({"A", "B", "C"});
    click("cmdEntry");
    typeLines({"still typing"});
    board.ToggleProgress();
    board.setBoxChecked(3, false);
    const auto before = test::snapshot(board);

    click("cmdNewEventExec"); // 16 players from three entries
    find<QLineEdit>("txtMenber")->setText(QStringLiteral("三"));
    click("cmdNewEventExec");

    ASSERT_EQ(boxes.shown.size(), 2u);
    EXPECT_EQ(boxes.shown[0].text, "人数が足りません。");
    EXPECT_EQ(boxes.shown[1].title, "Error");
    EXPECT_EQ(boxes.shown[1].text, "当選人数には数字を入力してください。");
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(entries(), (std::vector<std::string>{"A", "B", "C"}));
    EXPECT_EQ(input()->toPlainText(), QStringLiteral("still typing"));
    EXPECT_EQ(find<QLineEdit>("txtMenber")->text(), QStringLiteral("三"));
    EXPECT_EQ(test::snapshot(board), before);
}

TEST_F(NewGameTest, AFullListRefusesTheEnterAndKeepsTheText)
{
    QString many;
    for (int i = 0; i < 32767; ++i)
        many += QStringLiteral("選手%1\n").arg(i);
    input()->setPlainText(many);
    click("cmdEntry");
    ASSERT_EQ(dialog->entries().count(), 32767);
    EXPECT_EQ(find<QListView>("lstEntry")->model()->rowCount(), 32767);

    typeLines({"one more"});
    click("cmdEntry");
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].title, "Error");
    EXPECT_EQ(input()->toPlainText(), QStringLiteral("one more"));
    EXPECT_EQ(dialog->entries().count(), 32767);
}

// Text as a Japanese input method delivers it: a composition (when there is one), then the
// committed text.
struct Typed {
    const char* preedit;
    const char* commit;
};

struct EntryCase {
    Typed typed;
    const char* entry; // what the list holds afterwards
};

void PrintTo(const EntryCase& c, std::ostream* out)
{
    *out << c.typed.commit;
}

class NewGameInputMethod : public NewGameTest, public ::testing::WithParamInterface<EntryCase> {};

TEST_P(NewGameInputMethod, EntersTheCommittedTextExactly)
{
    const EntryCase& c = GetParam();
    input()->setFocus();
    test::commitThroughInputMethod(input(), QString::fromUtf8(c.typed.commit),
                                   QString::fromUtf8(c.typed.preedit));
    click("cmdEntry");
    EXPECT_EQ(entries(), std::vector<std::string>{c.entry});
    EXPECT_EQ(shownEntries(), QStringList{QString::fromUtf8(c.entry)});
    EXPECT_TRUE(input()->document()->toRawText().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Names, NewGameInputMethod,
    ::testing::Values(EntryCase{{"", "山田太郎"}, "山田太郎"},
                      EntryCase{{"やまだ", "山田"}, "山田"},
                      EntryCase{{"たなか　はなこ", "田中　花子"}, "田中　花子"},
                      EntryCase{{"", "Ｊｏｈｎ　Ｓｍｉｔｈ"}, "Ｊｏｈｎ　Ｓｍｉｔｈ"},
                      EntryCase{{"よしの", "𠮷野"}, "𠮷野"},
                      EntryCase{{"ｋａｔｏ", "ｶﾄｳ"}, "ｶﾄｳ"}));

struct FieldSizeCase {
    Typed typed;
    int drawn;
};

void PrintTo(const FieldSizeCase& c, std::ostream* out)
{
    *out << c.typed.commit;
}

class NewGameFieldSizeByInputMethod : public NewGameTest,
                                      public ::testing::WithParamInterface<FieldSizeCase> {};

TEST_P(NewGameFieldSizeByInputMethod, DrawsTheCommittedNumberOfPlayers)
{
    const FieldSizeCase& c = GetParam();
    typeLines({"A", "B", "C", "D", "E", "F", "G", "H", "I", "J", "K", "L", "M", "N", "O", "P"});
    click("cmdEntry");
    auto* size = find<QLineEdit>("txtMenber");
    size->setFocus();
    size->selectAll();
    const QString preedit = QString::fromUtf8(c.typed.preedit);
    if (!preedit.isEmpty()) {
        QInputMethodEvent composing(preedit, {});
        QApplication::sendEvent(size, &composing);
        EXPECT_EQ(size->text(), QString()) << "the composition replaces \"16\" but is no text yet";
    }
    test::commitThroughInputMethod(size, QString::fromUtf8(c.typed.commit));
    EXPECT_EQ(size->text(), QString::fromUtf8(c.typed.commit));

    click("cmdNewEventExec");

    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(random.taken, c.drawn);
    int filled = 0;
    for (int i = 0; i < 16; ++i)
        filled += !board.slotCaption(i).empty();
    EXPECT_EQ(filled, c.drawn);
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, NewGameFieldSizeByInputMethod,
    ::testing::Values(FieldSizeCase{{"", "１６"}, 16}, FieldSizeCase{{"じゅう", "１０"}, 10},
                      FieldSizeCase{{"", "２．９"}, 2}, FieldSizeCase{{"", "１６．５"}, 16},
                      FieldSizeCase{{"", "＋８"}, 8}, FieldSizeCase{{"きゅう", "9"}, 9}));

TEST_F(NewGameTest, AccessKeyOfTheSizeLabelGoesToTheSizeBox)
{
    QTest::keyClick(dialog.get(), Qt::Key_C, Qt::AltModifier);
    EXPECT_EQ(QApplication::focusWidget(), find("txtMenber"));
}

TEST_F(NewGameTest, TabGoesInTheDesignedOrder)
{
    const char* order[] = {"lstEntry",        "cmdDeleteList", "txtEntry", "cmdEntry",
                           "cmdNewEventExec", "txtMenber",     "chkSeed",  "txtSeed"};
    EXPECT_EQ(QApplication::focusWidget(), find(order[0]));
    for (std::size_t i = 1; i < std::size(order); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), find(order[i])) << order[i];
    }
}

// Hostile names, entered as the organiser would, then drawn onto the main window's board: each
// name reaches the list, the list view, the board and its slot label byte for byte. Only line
// breaks of the text box split a paste into names.
struct HostileNames {
    const char* what;
    QString entered;
    bool pasted; // pasted with Ctrl+V; otherwise committed by an input method
    std::vector<std::string> names;
};

void PrintTo(const HostileNames& c, std::ostream* out)
{
    *out << c.what;
}

QString longName()
{
    QString name;
    for (int i = 0; i < 25'000; ++i)
        name += QStringLiteral("名😀e\u0301");
    return name; // 100,000 characters
}

class NameRoundTrip : public ::testing::TestWithParam<HostileNames> {
protected:
    void SetUp() override
    {
        main = std::make_unique<frmPairvaneMainForm>(boxes);
        main->show();
        dialog = std::make_unique<frmNewGame>(main->board(), random, boxes, main.get());
        ASSERT_TRUE(test::showActive(dialog.get()));
    }

    test::ScriptedMessageBoxes boxes;
    test::ScriptedRandom random;
    std::unique_ptr<frmPairvaneMainForm> main;
    std::unique_ptr<frmNewGame> dialog;
};

TEST_P(NameRoundTrip, ReachesTheListAndTheBoardByteForByte)
{
    const HostileNames& c = GetParam();
    auto* input = control<QPlainTextEdit>(dialog.get(), QStringLiteral("txtEntry"));
    input->setFocus();
    if (c.pasted) {
        QGuiApplication::clipboard()->setText(c.entered);
        QTest::keyClick(input, Qt::Key_V, Qt::ControlModifier);
    } else {
        QInputMethodEvent commit;
        commit.setCommitString(c.entered);
        QApplication::sendEvent(input, &commit);
    }
    QTest::mouseClick(control<QPushButton>(dialog.get(), QStringLiteral("cmdEntry")),
                      Qt::LeftButton);

    ASSERT_EQ(test::namesIn(dialog->entries()), c.names);
    const QAbstractItemModel* model =
        control<QListView>(dialog.get(), QStringLiteral("lstEntry"))->model();
    for (int row = 0; row < model->rowCount(); ++row)
        EXPECT_EQ(model->index(row, 0).data().toString().toStdString(), c.names[row]);

    // Every name drawn, with a second one when there is only one.
    std::vector<std::string> expected = c.names;
    if (expected.size() == 1) {
        QInputMethodEvent commit;
        commit.setCommitString(QStringLiteral("B"));
        QApplication::sendEvent(input, &commit);
        QTest::mouseClick(control<QPushButton>(dialog.get(), QStringLiteral("cmdEntry")),
                          Qt::LeftButton);
        expected.push_back("B");
    }
    control<QLineEdit>(dialog.get(), QStringLiteral("txtMenber"))
        ->setText(QString::number(expected.size()));
    QTest::mouseClick(control<QPushButton>(dialog.get(), QStringLiteral("cmdNewEventExec")),
                      Qt::LeftButton);
    ASSERT_TRUE(boxes.shown.empty()) << boxes.shown.front().text;

    std::vector<std::string> onBoard;
    for (int slot = 0; slot < static_cast<int>(expected.size()); ++slot) {
        onBoard.push_back(main->board().slotCaption(slot));
        auto* label = control<QLabel>(main.get(), QStringLiteral("lblMenber(%1)").arg(slot));
        EXPECT_EQ(label->text().toStdString(), onBoard.back()) << "slot " << slot;
    }
    std::sort(onBoard.begin(), onBoard.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(onBoard, expected);

    // The board paints every name, however long: each slot in play shows ink (the name, cut to
    // the slot). How long that takes is measured in bench/BracketBench.cpp.
    EXPECT_FALSE(main->grab().isNull());
    for (int slot = 0; slot < static_cast<int>(expected.size()); ++slot) {
        const QImage shown = control<QLabel>(main.get(), QStringLiteral("lblMenber(%1)").arg(slot))
                                 ->grab()
                                 .toImage();
        bool ink = false;
        for (int y = 0; y < shown.height() && !ink; ++y) {
            for (int x = 0; x < shown.width() && !ink; ++x)
                ink = qGray(shown.pixel(x, y)) < 128;
        }
        EXPECT_TRUE(ink) << "slot " << slot << " shows nothing";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Hostile, NameRoundTrip,
    ::testing::Values(
        HostileNames{"NonBmp",
                     QStringLiteral("😀 👩‍👩‍👧 𠮷野家 🇯🇵 𝔘𝔫𝔦"),
                     false,
                     {"😀 👩‍👩‍👧 𠮷野家 🇯🇵 𝔘𝔫𝔦"}},
        HostileNames{"CombiningMarks",
                     QStringLiteral("e\u0301\u0308 A\u030A \u0915\u094D\u0937 Z\u0335"),
                     false,
                     {"e\u0301\u0308 A\u030A \u0915\u094D\u0937 Z\u0335"}},
        HostileNames{
            "RightToLeft",
            QStringLiteral(
                "\u05E9\u05DC\u05D5\u05DD \u0645\u0631\u062D\u0628\u0627 12 \u202Eabc\u202C\u200F"),
            false,
            {"\u05E9\u05DC\u05D5\u05DD \u0645\u0631\u062D\u0628\u0627 12 \u202Eabc\u202C\u200F"}},
        HostileNames{"ControlCharacters",
                     QStringLiteral("a\tb\x01\x07\x1B[31m\x7F\u0085c"),
                     false,
                     {"a\tb\x01\x07\x1B[31m\x7F\u0085c"}},
        HostileNames{"InvisibleCharacters",
                     QStringLiteral("\u200B\u200D\uFEFF\u00AD\u2060x"),
                     false,
                     {"\u200B\u200D\uFEFF\u00AD\u2060x"}},
        // U+FDD0 and U+FDD1 are noncharacters that Qt's text document takes as the edges of a
        // frame: the text box breaks the line there as it does for a paragraph separator.
        HostileNames{"TextDocumentMarkers",
                     QStringLiteral("a\uFDD0b\uFDD1c\uFFFCd\uFFFD"),
                     false,
                     {"a", "b", "c\uFFFCd\uFFFD"}},
        // Half a surrogate pair (a broken paste) cannot be stored as UTF-8: Qt's conversion puts
        // a question mark in its place, and the rest of the name stays.
        HostileNames{
            "LoneSurrogate", QString(QChar(u'a')) + QChar(0xD800) + QChar(u'b'), true, {"a?b"}},
        HostileNames{"Nul", QString::fromUtf8("a\0b", 3), false, {std::string("a\0b", 3)}},
        HostileNames{"EveryLineBreak",
                     QStringLiteral("A\rB\nC\r\nD\u2028E\u2029F\vG\fH"),
                     true,
                     {"A", "B", "C", "D", "E", "F\vG\fH"}},
        HostileNames{"HundredThousandCharacters", longName(), false, {longName().toStdString()}}),
    [](const auto& test) { return std::string(test.param.what); });

// The seed's name goes through a one-line box; it too reaches the board byte for byte, however
// long, whether typed through an input method or pasted.
class SeedNameRoundTrip : public NameRoundTrip {};

TEST_P(SeedNameRoundTrip, ReachesTheBoardByteForByte)
{
    const HostileNames& c = GetParam();
    auto* input = control<QPlainTextEdit>(dialog.get(), QStringLiteral("txtEntry"));
    input->setPlainText(QStringLiteral("A\nB"));
    QTest::mouseClick(control<QPushButton>(dialog.get(), QStringLiteral("cmdEntry")),
                      Qt::LeftButton);
    control<QLineEdit>(dialog.get(), QStringLiteral("txtMenber"))->setText(QStringLiteral("3"));
    control<QCheckBox>(dialog.get(), QStringLiteral("chkSeed"))->setChecked(true);
    auto* seed = control<QLineEdit>(dialog.get(), QStringLiteral("txtSeed"));
    seed->setFocus();
    if (c.pasted) {
        QGuiApplication::clipboard()->setText(c.entered);
        QTest::keyClick(seed, Qt::Key_V, Qt::ControlModifier);
    } else {
        QInputMethodEvent commit;
        commit.setCommitString(c.entered);
        QApplication::sendEvent(seed, &commit);
    }
    QTest::mouseClick(control<QPushButton>(dialog.get(), QStringLiteral("cmdNewEventExec")),
                      Qt::LeftButton);
    ASSERT_TRUE(boxes.shown.empty()) << boxes.shown.front().text;
    ASSERT_EQ(c.names.size(), 1u);
    EXPECT_EQ(main->board().slotCaption(2), c.names[0]);
    EXPECT_EQ(control<QLabel>(main.get(), QStringLiteral("lblMenber(2)"))->text().toStdString(),
              c.names[0]);
}

INSTANTIATE_TEST_SUITE_P(
    Hostile, SeedNameRoundTrip,
    ::testing::Values(
        HostileNames{"NonBmpTyped",
                     QStringLiteral("😀 👩‍👩‍👧 𠮷野家"),
                     false,
                     {"😀 👩‍👩‍👧 𠮷野家"}},
        HostileNames{"RightToLeftPasted",
                     QStringLiteral("\u05E9\u05DC\u05D5\u05DD \u202Eabc"),
                     true,
                     {"\u05E9\u05DC\u05D5\u05DD \u202Eabc"}},
        HostileNames{"ControlCharactersTyped",
                     QStringLiteral("a\tb\x01\x1B[31m\x7F"),
                     false,
                     {"a\tb\x01\x1B[31m\x7F"}},
        HostileNames{
            "HundredThousandCharactersTyped", longName(), false, {longName().toStdString()}},
        HostileNames{
            "HundredThousandCharactersPasted", longName(), true, {longName().toStdString()}}),
    [](const auto& test) { return std::string(test.param.what); });

// A 10 MB paste: 20,000 lines of 500 bytes each, Japanese, emoji and ASCII, every one stored.
TEST_F(NewGameTest, TenMegabytePasteIsStoredWhole)
{
    QString paste;
    std::vector<std::string> expected;
    for (int i = 0; i < 20'000; ++i) {
        QString line = QStringLiteral("%1 ").arg(i, 5, 10, QLatin1Char('0'));
        while (line.toUtf8().size() < 490)
            line += QStringLiteral("選手😀abc");
        expected.push_back(line.toStdString());
        paste += line + QStringLiteral("\r\n");
    }
    ASSERT_GE(paste.toUtf8().size(), 10'000'000);
    QGuiApplication::clipboard()->setText(paste);
    input()->setFocus();
    const auto start = std::chrono::steady_clock::now();
    QTest::keyClick(input(), Qt::Key_V, Qt::ControlModifier);
    click("cmdEntry");
    const auto took = std::chrono::steady_clock::now() - start;
    std::cout << "10 MB paste and Enter: "
              << std::chrono::duration_cast<std::chrono::milliseconds>(took).count() << " ms"
              << std::endl;

    ASSERT_EQ(dialog->entries().count(), 20'000);
    EXPECT_EQ(entries(), expected);
    EXPECT_EQ(find<QListView>("lstEntry")->model()->rowCount(), 20'000);
    EXPECT_TRUE(input()->document()->isEmpty());
}

} // namespace
} // namespace velka
