#include "draw/EntryList.h"
#include "tests/support/EntryNames.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace velka {
namespace {

using test::namesIn;

struct AddCase {
    const char* name;
    std::string text;
    AddOutcome outcome;
    std::vector<std::string> entries;
};

void PrintTo(const AddCase& c, std::ostream* out)
{
    *out << c.name;
}

class AddEntries : public ::testing::TestWithParam<AddCase> {};

TEST_P(AddEntries, SplitsAtCrLfOnlyAndKeepsNamesAsTyped)
{
    EntryList list;
    EXPECT_EQ(addEntries(list, GetParam().text), GetParam().outcome);
    EXPECT_EQ(namesIn(list), GetParam().entries);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, AddEntries,
    ::testing::Values(AddCase{"Empty", "", AddOutcome::NothingTyped, {}},
                      AddCase{"EmptyLinesSkipped", "A\r\n\r\nB\r\n", AddOutcome::Added, {"A", "B"}},
                      AddCase{"OneBlank", " ", AddOutcome::Added, {" "}},
                      AddCase{"OnlyLineBreaks", "\r\n\r\n", AddOutcome::Added, {}},
                      AddCase{"LineFeedsStayInside", "A\nB\nC", AddOutcome::Added, {"A\nB\nC"}},
                      AddCase{"LoneCarriageReturns", "\r\r\n\n", AddOutcome::Added, {"\r", "\n"}},
                      AddCase{"BlanksKept",
                              "  Alice \r\n\tBob\r\n   ",
                              AddOutcome::Added,
                              {"  Alice ", "\tBob", "   "}},
                      AddCase{"Duplicates", "田中\r\n田中", AddOutcome::Added, {"田中", "田中"}},
                      AddCase{"NoBreakSpaceAndWideCharacters",
                              "\u00A0山田\u3000太郎\r\n😀 Zoë",
                              AddOutcome::Added,
                              {"\u00A0山田\u3000太郎", "😀 Zoë"}},
                      AddCase{"NulInsideAName",
                              std::string("a\0b", 3),
                              AddOutcome::Added,
                              {std::string("a\0b", 3)}}),
    [](const auto& test) { return std::string(test.param.name); });

TEST(EntryList, EntersAppendInOrderAndRemoveClosesTheGap)
{
    EntryList list;
    addEntries(list, "A\r\nB");
    addEntries(list, "C\r\nA");
    EXPECT_EQ(namesIn(list), (std::vector<std::string>{"A", "B", "C", "A"}));

    list.remove(1);
    EXPECT_EQ(namesIn(list), (std::vector<std::string>{"A", "C", "A"}));
    list.remove(2);
    EXPECT_EQ(namesIn(list), (std::vector<std::string>{"A", "C"}));
    EXPECT_THROW(list.remove(2), std::out_of_range);
    EXPECT_THROW(list.at(-1), std::out_of_range);
}

TEST(EntryList, AnEnterPastTheCapacityIsRefusedWhole)
{
    EntryList list;
    std::string text;
    for (int i = 0; i < EntryList::kCapacity - 1; ++i)
        text += "n" + std::to_string(i) + "\r\n";
    ASSERT_EQ(addEntries(list, text), AddOutcome::Added);
    ASSERT_EQ(list.count(), EntryList::kCapacity - 1);

    EXPECT_EQ(addEntries(list, "last\r\none too many"), AddOutcome::ListFull);
    EXPECT_EQ(list.count(), EntryList::kCapacity - 1);
    EXPECT_EQ(list.at(list.count() - 1), "n32765");

    EXPECT_EQ(addEntries(list, "last\r\n\r\n"), AddOutcome::Added);
    EXPECT_EQ(list.count(), EntryList::kCapacity);
    EXPECT_EQ(addEntries(list, "x"), AddOutcome::ListFull);
    EXPECT_EQ(addEntries(list, "\r\n"), AddOutcome::Added) << "no name, nothing to refuse";
    EXPECT_EQ(list.count(), EntryList::kCapacity);
}

TEST(EntryList, RefusesAnEmptyName)
{
    EntryList list;
    EXPECT_FALSE(list.append({"a", ""}));
    EXPECT_EQ(list.count(), 0);
}

TEST(EntryList, ListenerHearsOfEachChangeBeforeAndAfter)
{
    EntryList list;
    std::vector<std::string> heard;
    const Subscription subscription = list.subscribe([&](EntryList::Change c) {
        heard.push_back(std::string(c.kind == EntryList::Change::Kind::Append ? "+" : "-") +
                        std::to_string(c.first) + ".." + std::to_string(c.last) +
                        (c.done ? " done at " : " at ") + std::to_string(list.count()));
    });
    addEntries(list, "A\r\nB\r\nC");
    list.remove(1);
    addEntries(list, "\r\n");
    EXPECT_EQ(heard, (std::vector<std::string>{"+0..2 at 0", "+0..2 done at 3", "-1..1 at 3",
                                               "-1..1 done at 2"}));
}

TEST(EntryList, FullListMessageIsAnError)
{
    const Message m = listFullMessage();
    EXPECT_EQ(m.title, "Error");
    EXPECT_EQ(m.icon, MessageIcon::Warning);
    EXPECT_EQ(m.buttons, MessageButtons::Ok);
    EXPECT_NE(m.text.find("32767"), std::string::npos);
}

} // namespace
} // namespace velka
