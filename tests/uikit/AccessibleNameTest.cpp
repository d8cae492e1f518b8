#include "uikit/AccessibleName.h"

#include <gtest/gtest.h>

namespace velka {
namespace {

struct NameCase {
    const char* caption;
    const char* spoken;
};

void PrintTo(const NameCase& c, std::ostream* out)
{
    *out << c.caption;
}

class AccessibleNameOf : public ::testing::TestWithParam<NameCase> {};

TEST_P(AccessibleNameOf, DropsTheAccessKeyMark)
{
    EXPECT_EQ(accessibleNameOf(QString::fromUtf8(GetParam().caption)).toStdString(),
              GetParam().spoken);
}

INSTANTIATE_TEST_SUITE_P(
    Captions, AccessibleNameOf,
    ::testing::Values(
        // The program's own captions.
        NameCase{"初期化(&C)", "初期化"},
        NameCase{"新規トーナメント開始(&E)...", "新規トーナメント開始..."},
        NameCase{"VTWについて(&V)...", "VTWについて..."}, NameCase{"Enter (&E)", "Enter"},
        NameCase{"×(&D)", "×"}, NameCase{"OK(&O)", "OK"}, NameCase{"当選人数(&C)：", "当選人数"},
        NameCase{"シード(当選人数奇数のときのみ有効(&S)：", "シード(当選人数奇数のときのみ有効)"},
        NameCase{"カウントダウンタイマー起動(&C)", "カウントダウンタイマー起動"},
        NameCase{"Velka Tablewright", "Velka Tablewright"}, NameCase{"", ""},
        // A mark inside a word keeps its letter; a doubled "&" is one "&" shown.
        NameCase{"&File", "File"}, NameCase{"Save &As", "Save As"},
        NameCase{"Tom && Jerry", "Tom & Jerry"}, NameCase{"R&&D (&R)", "R&D"}, NameCase{"A&", "A&"},
        // Full-width parentheses and colons, as Japanese captions often have them.
        NameCase{"名前（&N）：", "名前"}, NameCase{"一覧（全員", "一覧（全員）"},
        // A group in the middle leaves one blank between the words around it.
        NameCase{"Go (&G) now", "Go now"}, NameCase{"Time: ", "Time"},
        // Parentheses that are not a mark stay.
        NameCase{"(A) and (B)", "(A) and (B)"}, NameCase{"f(&x", "f(x)"}));

} // namespace
} // namespace velka
