#include "about/VersionInfo.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace velka {
namespace {

struct VersionCase {
    int major;
    int minor;
    int revision;
    const char* label;
};

void PrintTo(const VersionCase& c, std::ostream* out)
{
    *out << c.major << '.' << c.minor << '.' << c.revision;
}

class VersionLabel : public ::testing::TestWithParam<VersionCase> {};

TEST_P(VersionLabel, PadsMinorToTwoAndRevisionToFourDigits)
{
    const VersionCase& c = GetParam();
    EXPECT_EQ(BuildVersionLabel(c.major, c.minor, c.revision), c.label);
}

INSTANTIATE_TEST_SUITE_P(Versions, VersionLabel,
                         ::testing::Values(VersionCase{0, 11, 5, "Version:0.11.0005"},
                                           VersionCase{1, 2, 3, "Version:1.02.0003"},
                                           VersionCase{2, 123, 4, "Version:2.123.0004"},
                                           VersionCase{0, 0, 0, "Version:0.00.0000"},
                                           VersionCase{10, 5, 12345, "Version:10.05.12345"},
                                           VersionCase{0, 99, 9999, "Version:0.99.9999"},
                                           VersionCase{0, 100, 10000, "Version:0.100.10000"},
                                           VersionCase{7, 10, 1000, "Version:7.10.1000"}));

// The text split at every CR LF; fails the test on a line break of any other kind.
std::vector<std::string> crlfLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::string::size_type start = 0;
    while (start < text.size()) {
        const auto end = text.find("\r\n", start);
        if (end == std::string::npos) {
            ADD_FAILURE() << "last line is not ended by CR LF";
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    for (const std::string& line : lines)
        EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos) << "stray line break: " << line;
    return lines;
}

TEST(Credits, EightCrLfLinesWithEmptyFourthAndSixth)
{
    const std::vector<std::string> lines = crlfLines(CreditsText());
    ASSERT_EQ(lines.size(), 8u);
    for (int i : {0, 1, 2, 4, 6, 7})
        EXPECT_FALSE(lines[i].empty()) << "line " << i + 1;
    EXPECT_TRUE(lines[3].empty());
    EXPECT_TRUE(lines[5].empty());
    for (int i : {6, 7}) {
        EXPECT_NE(lines[i].find("(C) 2001"), std::string::npos) << lines[i];
        EXPECT_NE(lines[i].find("Velka"), std::string::npos) << lines[i];
    }
}

} // namespace
} // namespace velka
