#include "swiss/SwissCsv.h"

#include "swiss/Standings.h"
#include "swiss/SwissRecords.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace velka {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

std::string field(std::string_view text)
{
    if (text.find_first_of(",\"\r\n") == std::string_view::npos)
        return std::string(text);
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"')
            quoted += '"';
        quoted += c;
    }
    return quoted + '"';
}

// A name or reading: text that a spreadsheet must not take for a formula.
std::string textField(std::string_view text)
{
    if (text.empty() || std::string_view("=+-@").find(text.front()) == std::string_view::npos)
        return field(text);
    std::string defused(1, '\'');
    defused += text;
    return field(defused);
}

void appendRecord(std::string& out, const std::vector<std::string>& fields)
{
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i > 0)
            out += ',';
        out += fields[i];
    }
    out += "\r\n";
}

std::string recordText(const PlayerRecord& r)
{
    return std::to_string(r.wins) + "-" + std::to_string(r.losses) + "-" + std::to_string(r.draws);
}

} // namespace

std::string pairingsCsv(const SwissEvent& event, int round)
{
    std::string out(kByteOrderMark);
    appendRecord(out, {"回戦", "卓", "選手1", "勝ち点1", "成績1", "選手2", "勝ち点2", "成績2",
                       "結果", "備考"});
    const SwissRound& r = event.rounds.at(static_cast<std::size_t>(round - 1));
    const std::vector<PlayerRecord> before = playerRecords(event, round - 1);
    for (std::size_t t = 0; t < r.tables.size(); ++t) {
        const SwissTable& table = r.tables[t];
        const PlayerRecord& a = before[table.playerA];
        std::vector<std::string> fields{std::to_string(round), std::to_string(t + 1),
                                        textField(event.players[table.playerA].name),
                                        std::to_string(a.matchPoints), recordText(a)};
        if (table.bye()) {
            fields.insert(fields.end(), {"", "", "", "不戦勝", ""});
        } else {
            const PlayerRecord& b = before[*table.playerB];
            fields.insert(fields.end(),
                          {textField(event.players[*table.playerB].name),
                           std::to_string(b.matchPoints), recordText(b),
                           table.result ? resultText(event.settings.match, *table.result) : "",
                           table.rematch ? "再戦" : ""});
        }
        appendRecord(out, fields);
    }
    return out;
}

std::string standingsCsv(const SwissEvent& event)
{
    std::string out(kByteOrderMark);
    std::vector<std::string> header{"順位", "名前", "ふりがな", "勝ち点", "勝", "負", "分"};
    for (const std::string& name : tiebreakerNames(event.settings.tiebreakers))
        header.push_back(name.ends_with('%') ? name : name + "%");
    header.push_back("状態");
    appendRecord(out, header);
    for (const SwissStanding& line : standings(event)) {
        const SwissPlayer& player = event.players[line.player];
        std::vector<std::string> fields{std::to_string(line.rank), textField(player.name),
                                        textField(player.reading), std::to_string(line.matchPoints),
                                        std::to_string(line.wins), std::to_string(line.losses),
                                        std::to_string(line.draws)};
        for (const Fraction& value : line.tiebreakers)
            fields.push_back(value.percentText());
        fields.push_back(line.dropped ? "棄権" : "");
        appendRecord(out, fields);
    }
    return out;
}

CsvRecords parseCsv(std::string_view text)
{
    if (text.starts_with(kByteOrderMark))
        text.remove_prefix(kByteOrderMark.size());
    CsvRecords result;
    std::vector<std::string> record;
    std::string current;
    int line = 1;
    std::size_t i = 0;
    auto endOfLine = [&](std::size_t at) { return text[at] == '\n' || text[at] == '\r'; };
    auto skipLineEnd = [&] {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            ++i;
        ++i;
        ++line;
    };
    while (i < text.size()) {
        // At the start of a field.
        if (text[i] == '"') {
            const int opened = line;
            ++i;
            for (;;) {
                if (i >= text.size()) {
                    result.records.clear();
                    result.unclosedQuoteLine = opened;
                    return result;
                }
                if (text[i] == '"') {
                    if (i + 1 < text.size() && text[i + 1] == '"') {
                        current += '"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                if (text[i] == '\n' ||
                    (text[i] == '\r' && !(i + 1 < text.size() && text[i + 1] == '\n')))
                    ++line;
                current += text[i++];
            }
        }
        // The rest of the field up to a comma or the end of the line, kept as it is.
        while (i < text.size() && text[i] != ',' && !endOfLine(i))
            current += text[i++];
        record.push_back(std::move(current));
        current.clear();
        if (i < text.size() && text[i] == ',') {
            ++i;
            if (i == text.size())
                record.emplace_back();
            continue;
        }
        result.records.push_back(std::move(record));
        record.clear();
        if (i < text.size())
            skipLineEnd();
    }
    if (!record.empty()) // the text ended right after a comma
        result.records.push_back(std::move(record));
    return result;
}

namespace {

bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) ==
               std::tolower(static_cast<unsigned char>(y));
    });
}

bool namesColumn(std::string_view field)
{
    constexpr std::array<std::string_view, 7> kHeaders = {
        "名前", "氏名", "選手名", "プレイヤー名", "参加者", "name", "player"};
    return std::any_of(kHeaders.begin(), kHeaders.end(),
                       [&](std::string_view h) { return equalsIgnoringAsciiCase(field, h); });
}

bool readingsColumn(std::string_view field)
{
    constexpr std::array<std::string_view, 5> kHeaders = {"ふりがな", "フリガナ", "よみがな",
                                                          "読み", "reading"};
    return std::any_of(kHeaders.begin(), kHeaders.end(),
                       [&](std::string_view h) { return equalsIgnoringAsciiCase(field, h); });
}

} // namespace

PlayerReading playersFromLines(std::string_view text)
{
    PlayerReading reading;
    std::size_t begin = 0;
    while (begin <= text.size()) {
        std::size_t end = text.find_first_of("\r\n", begin);
        if (end == std::string_view::npos)
            end = text.size();
        std::string name = trimmedName(text.substr(begin, end - begin));
        if (!name.empty())
            reading.players.push_back({std::move(name), ""});
        if (end + 1 < text.size() && text[end] == '\r' && text[end + 1] == '\n')
            ++end;
        begin = end + 1;
    }
    return reading;
}

PlayerReading playersFromCsv(std::string_view text)
{
    PlayerReading reading;
    CsvRecords csv = parseCsv(text);
    if (csv.unclosedQuoteLine) {
        reading.refusal = errorMessage(std::to_string(*csv.unclosedQuoteLine) +
                                       "行目で始まる引用符（\"）が閉じていないため、読めません。");
        return reading;
    }
    for (std::size_t r = 0; r < csv.records.size(); ++r) {
        const auto& fields = csv.records[r];
        std::string name = trimmedName(fields[0]);
        std::string furigana = fields.size() > 1 ? trimmedName(fields[1]) : "";
        if (r == 0 && (namesColumn(name) || readingsColumn(furigana)))
            continue;
        if (!name.empty())
            reading.players.push_back({std::move(name), std::move(furigana)});
    }
    return reading;
}

} // namespace velka
