#pragma once

#include "core/Message.h"
#include "swiss/SwissEvent.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velka {

// CSV as spreadsheets read and write it (RFC 4180): fields separated by commas, records ended
// by CR LF; a field holding a comma, a quote, CR or LF is put in quotes, its quotes doubled.
// The text written is UTF-8 with a byte-order mark, so that a spreadsheet takes it for UTF-8.
// A name or reading that begins with = + - or @ is written after an apostrophe, so that a
// spreadsheet shows it as text instead of running it as a formula. The columns are listed in
// docs/swiss.md.

// The tables of round `round` (1-based): 回戦, 卓, 選手1, 勝ち点1, 成績1, 選手2, 勝ち点2,
// 成績2, 結果, 備考; points and records as they stood before the round.
std::string pairingsCsv(const SwissEvent& event, int round);
// The standings: 順位, 名前, ふりがな, 勝ち点, 勝, 負, 分, the tiebreakers as percentages with
// two decimals, 状態.
std::string standingsCsv(const SwissEvent& event);

// The records of CSV text, each a list of fields. Records may end in CR LF, LF or CR; a quoted
// field may hold any of them. A quote inside an unquoted field is kept as it is. A leading
// byte-order mark is skipped. When a quoted field is never closed there are no records, and
// unclosedQuoteLine tells on which line (from 1) it opened.
struct CsvRecords {
    std::vector<std::vector<std::string>> records;
    std::optional<int> unclosedQuoteLine;
};
CsvRecords parseCsv(std::string_view text);

// Players from decoded text, ready for SwissDraw::addPlayers.
struct PlayerReading {
    std::vector<PlayerEntry> players;
    std::optional<Message> refusal; // the text could not be read; no players then
};
// One player a line, the whole line the name (lines end in CR LF, LF or CR); blank lines are
// skipped, names trimmed.
PlayerReading playersFromLines(std::string_view text);
// One player a record: the name in the first field, the reading in the second, further fields
// ignored; names and readings trimmed, records with a blank name skipped. A first record that
// names its columns (名前, 氏名, 選手名, プレイヤー名, 参加者, name or player in the first field,
// or ふりがな, フリガナ, よみがな, 読み, reading in the second) is a header and skipped.
PlayerReading playersFromCsv(std::string_view text);

} // namespace velka
