#include "keep/TournamentFile.h"

#include "bracket/BracketBoard.h"
#include "core/ProgramVersion.h"
#include "keep/AtomicFile.h"
#include "swiss/SwissDraw.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <array>
#include <limits>
#include <set>
#include <vector>

namespace velka {

namespace {

using Json = nlohmann::json;
using OrderedJson = nlohmann::ordered_json;

// A tournament file nests six deep (a Swiss result); anything much deeper is not one, and is
// not walked.
constexpr std::size_t kDeepestNesting = 16;
// The most tables a Swiss round can have: every player at one, or one at the bye.
constexpr int kMostSwissTables = (kMaxSwissPlayers + 1) / 2;
// The most games a player can win in one match of any format.
constexpr int kMostGames = 2;

// The settings' choices as the file names them, in the order of their enumerators.
constexpr std::array<const char*, 2> kMatchNames{"singleGame", "bestOfThree"};
constexpr std::array<const char*, 2> kTiebreakerNames{"OMW-GW-OGW", "OWP-OOWP"};

// Thrown inside the reader only, and caught there.
struct Refused {
    FileRefusal refusal;
};

[[noreturn]] void refuse(FileFault fault, std::string detail)
{
    throw Refused{{fault, std::move(detail)}};
}

// Text taken from the file, cut short for a reason, so that a file cannot fill the organiser's
// message box.
std::string cutShort(std::string_view text, std::size_t longest)
{
    std::string shown(text.substr(0, longest));
    if (text.size() > longest) {
        // Back to the start of the last character, which may have been cut.
        while (!shown.empty() && (static_cast<unsigned char>(shown.back()) & 0xC0) == 0x80)
            shown.pop_back();
        if (!shown.empty() && static_cast<unsigned char>(shown.back()) >= 0xC0)
            shown.pop_back();
        shown += "…";
    }
    return shown;
}

// A field's name in a reason.
std::string named(std::string_view field)
{
    return "「" + cutShort(field, 40) + "」";
}

// The position of the first byte that is not part of valid UTF-8 (no overlong forms, no
// surrogates, nothing beyond U+10FFFF), or nothing.
std::optional<std::size_t> firstInvalidUtf8(std::string_view text)
{
    std::size_t i = 0;
    const auto byte = [&text](std::size_t at) { return static_cast<unsigned char>(text[at]); };
    while (i < text.size()) {
        const unsigned char lead = byte(i);
        int length = 0;
        unsigned char low = 0x80;
        unsigned char high = 0xBF;
        if (lead < 0x80) {
            ++i;
            continue;
        }
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            low = lead == 0xE0 ? 0xA0 : 0x80;
            high = lead == 0xED ? 0x9F : 0xBF;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            low = lead == 0xF0 ? 0x90 : 0x80;
            high = lead == 0xF4 ? 0x8F : 0xBF;
        } else {
            return i;
        }
        if (i + length > text.size())
            return i;
        if (byte(i + 1) < low || byte(i + 1) > high)
            return i;
        for (int k = 2; k < length; ++k) {
            if (byte(i + k) < 0x80 || byte(i + k) > 0xBF)
                return i;
        }
        i += length;
    }
    return std::nullopt;
}

// Parses JSON, refusing a key that stands twice in one object and nesting deeper than any
// tournament file.
Json parseStrictly(std::string_view text)
{
    std::vector<std::set<std::string>> keysOfOpenObjects;
    std::vector<bool> openIsObject;
    const Json::parser_callback_t watch = [&](int, Json::parse_event_t event, Json& parsed) {
        switch (event) {
        case Json::parse_event_t::object_start:
        case Json::parse_event_t::array_start:
            if (openIsObject.size() >= kDeepestNesting)
                refuse(FileFault::NotATournament, "");
            openIsObject.push_back(event == Json::parse_event_t::object_start);
            if (openIsObject.back())
                keysOfOpenObjects.emplace_back();
            break;
        case Json::parse_event_t::object_end:
        case Json::parse_event_t::array_end:
            if (openIsObject.back())
                keysOfOpenObjects.pop_back();
            openIsObject.pop_back();
            break;
        case Json::parse_event_t::key:
            if (!keysOfOpenObjects.back().insert(parsed.get<std::string>()).second)
                refuse(FileFault::Damaged,
                       "項目" + named(parsed.get<std::string>()) + "が二度あります");
            break;
        case Json::parse_event_t::value:
            break;
        }
        return true;
    };
    try {
        return Json::parse(text.begin(), text.end(), watch);
    } catch (const Json::parse_error& error) {
        refuse(FileFault::NotJson, std::to_string(error.byte) + " バイト目");
    } catch (const Json::out_of_range&) {
        // A number beyond what a double holds (1e400): valid JSON, but no tournament's.
        refuse(FileFault::Damaged, "扱えない大きさの数があります");
    } catch (const Json::exception&) {
        refuse(FileFault::NotJson, "");
    }
}

// Reading fields: each names its place ("tournament.names[3]") when it refuses.
const Json& member(const Json& object, const std::string& key, const std::string& place)
{
    const auto found = object.find(key);
    if (found == object.end())
        refuse(FileFault::Damaged, "項目" + named(place) + "がありません");
    return *found;
}

void onlyKeys(const Json& object, std::initializer_list<const char*> keys, const std::string& where)
{
    // The message is made once, as refuse() throws, not on every pass of the loop.
    // NOLINTBEGIN(performance-inefficient-string-concatenation)
    for (const auto& item : object.items()) {
        const std::string& key = item.key();
        if (std::none_of(keys.begin(), keys.end(), [&key](const char* k) { return key == k; }))
            refuse(FileFault::Damaged,
                   "知らない項目" + named(where.empty() ? key : where + "." + key) + "があります");
    }
    // NOLINTEND(performance-inefficient-string-concatenation)
}

const Json& objectAt(const Json& value, const std::string& place)
{
    if (!value.is_object())
        refuse(FileFault::Damaged, named(place) + "がオブジェクトではありません");
    return value;
}

const Json& arrayAt(const Json& value, std::size_t count, const std::string& place)
{
    if (!value.is_array())
        refuse(FileFault::Damaged, named(place) + "が配列ではありません");
    if (value.size() != count)
        refuse(FileFault::Damaged, named(place) + "の要素が" + std::to_string(count) +
                                       "個ではなく" + std::to_string(value.size()) + "個です");
    return value;
}

// An array of at most most elements.
const Json& arrayOfAtMost(const Json& value, std::size_t most, const std::string& place)
{
    if (!value.is_array())
        refuse(FileFault::Damaged, named(place) + "が配列ではありません");
    if (value.size() > most)
        refuse(FileFault::Damaged,
               named(place) + "の要素が" + std::to_string(most) + "個を超えています");
    return value;
}

bool boolAt(const Json& value, const std::string& place)
{
    if (!value.is_boolean())
        refuse(FileFault::Damaged, named(place) + "が true/false ではありません");
    return value.get<bool>();
}

std::string stringAt(const Json& value, const std::string& place)
{
    if (!value.is_string())
        refuse(FileFault::Damaged, named(place) + "が文字列ではありません");
    return value.get<std::string>();
}

// A whole number from lowest to highest; 1.0 or 1e3 are not whole numbers here.
int intAt(const Json& value, int lowest, int highest, const std::string& place)
{
    if (!value.is_number_integer())
        refuse(FileFault::Damaged, named(place) + "が整数ではありません");
    std::int64_t number = 0;
    bool fits = true;
    if (value.is_number_unsigned()) {
        const auto n = value.get<std::uint64_t>();
        fits = n <= static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
        number = fits ? static_cast<std::int64_t>(n) : 0;
    } else {
        number = value.get<std::int64_t>();
    }
    if (!fits || number < lowest || number > highest)
        refuse(FileFault::Damaged, named(place) + "の値がありえない大きさです");
    return static_cast<int>(number);
}

// Three whole numbers joined by dots, as "0.11.5".
bool isVersionText(std::string_view text)
{
    int parts = 1;
    int digits = 0;
    for (const char c : text) {
        if (c == '.' && digits > 0 && parts < 3) {
            ++parts;
            digits = 0;
        } else if (c >= '0' && c <= '9' && digits < 9) {
            ++digits;
        } else {
            return false;
        }
    }
    return parts == 3 && digits > 0;
}

template <std::size_t N>
void readBools(const Json& tournament, const char* key, std::array<bool, N>& into)
{
    const std::string place = std::string("tournament.") + key;
    const Json& values = arrayAt(member(tournament, key, place), N, place);
    for (std::size_t i = 0; i < N; ++i)
        into[i] = boolAt(values[i], place + "[" + std::to_string(i) + "]");
}

Tournament readTournamentObject(const Json& value)
{
    const Json& object = objectAt(value, "tournament");
    onlyKeys(
        object,
        {"names", "boxVisible", "boxChecked", "lineVisible", "connectors", "fieldSize", "seedName"},
        "tournament");
    Tournament t;
    const Json& names =
        arrayAt(member(object, "names", "tournament.names"), board::kSlotCount, "tournament.names");
    for (int i = 0; i < board::kSlotCount; ++i)
        t.names[i] = stringAt(names[i], "tournament.names[" + std::to_string(i) + "]");
    readBools(object, "boxVisible", t.boxVisible);
    readBools(object, "boxChecked", t.boxChecked);
    readBools(object, "lineVisible", t.lineVisible);

    const Json& connectors = arrayAt(member(object, "connectors", "tournament.connectors"),
                                     board::kConnectorCount, "tournament.connectors");
    constexpr int kCoordinate = std::numeric_limits<std::int16_t>::max();
    for (int c = 0; c < board::kConnectorCount; ++c) {
        const std::string place = "tournament.connectors[" + std::to_string(c) + "]";
        const Json& connector = objectAt(connectors[c], place);
        onlyKeys(connector, {"visible", "x1", "y1", "x2", "y2"}, place);
        Tournament::Connector& into = t.connectors[c];
        into.visible = boolAt(member(connector, "visible", place + ".visible"), place + ".visible");
        const auto coordinate = [&](const char* key) {
            const std::string at = place + "." + key;
            return intAt(member(connector, key, at), -kCoordinate, kCoordinate, at);
        };
        into.ends = {coordinate("x1"), coordinate("y1"), coordinate("x2"), coordinate("y2")};
    }

    t.fieldSize = intAt(member(object, "fieldSize", "tournament.fieldSize"), 0, board::kSlotCount,
                        "tournament.fieldSize");
    const Json& seed = member(object, "seedName", "tournament.seedName");
    if (!seed.is_null())
        t.seedName = stringAt(seed, "tournament.seedName");
    return t;
}

// One of the names a choice has in the file: the index of name among names.
int choiceAt(const Json& value, const std::array<const char*, 2>& names, const std::string& place)
{
    const std::string name = stringAt(value, place);
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (name == names[i])
            return static_cast<int>(i);
    }
    refuse(FileFault::Damaged, named(place) + "の値" + named(name) + "を知りません");
}

SwissSettings readSwissSettings(const Json& value)
{
    const std::string place = "swiss.settings";
    const Json& object = objectAt(value, place);
    onlyKeys(object, {"rounds", "match", "tiebreakers", "topCut"}, place);
    SwissSettings settings;
    settings.rounds =
        intAt(member(object, "rounds", place + ".rounds"), 0, kMaxSwissRounds, place + ".rounds");
    settings.match = static_cast<MatchFormat>(
        choiceAt(member(object, "match", place + ".match"), kMatchNames, place + ".match"));
    settings.tiebreakers =
        static_cast<TiebreakerSet>(choiceAt(member(object, "tiebreakers", place + ".tiebreakers"),
                                            kTiebreakerNames, place + ".tiebreakers"));
    settings.topCut = intAt(member(object, "topCut", place + ".topCut"), 0, 16, place + ".topCut");
    return settings;
}

SwissPlayer readSwissPlayer(const Json& value, const std::string& place)
{
    const Json& object = objectAt(value, place);
    onlyKeys(object, {"name", "reading", "firstRound", "droppedFrom"}, place);
    SwissPlayer player;
    player.name = stringAt(member(object, "name", place + ".name"), place + ".name");
    player.reading = stringAt(member(object, "reading", place + ".reading"), place + ".reading");
    player.firstRound = intAt(member(object, "firstRound", place + ".firstRound"), 1,
                              kMaxSwissRounds, place + ".firstRound");
    const Json& dropped = member(object, "droppedFrom", place + ".droppedFrom");
    if (!dropped.is_null())
        player.droppedFrom = intAt(dropped, 1, kMaxSwissRounds + 1, place + ".droppedFrom");
    return player;
}

SwissTable readSwissTable(const Json& value, const std::string& place)
{
    const Json& object = objectAt(value, place);
    onlyKeys(object, {"playerA", "playerB", "result", "rematch"}, place);
    const auto player = [&](const Json& v, const std::string& at) {
        return intAt(v, 0, kMaxSwissPlayers - 1, at);
    };
    SwissTable table;
    table.playerA = player(member(object, "playerA", place + ".playerA"), place + ".playerA");
    const Json& b = member(object, "playerB", place + ".playerB");
    if (!b.is_null())
        table.playerB = player(b, place + ".playerB");
    const Json& result = member(object, "result", place + ".result");
    if (!result.is_null()) {
        const std::string at = place + ".result";
        objectAt(result, at);
        onlyKeys(result, {"gamesA", "gamesB", "drawnGames"}, at);
        const auto games = [&](const char* key) {
            return intAt(member(result, key, at + "." + key), 0, kMostGames, at + "." + key);
        };
        table.result = MatchResult{games("gamesA"), games("gamesB"), games("drawnGames")};
    }
    table.rematch = boolAt(member(object, "rematch", place + ".rematch"), place + ".rematch");
    return table;
}

// The Swiss event of a file of version 2: null for none, else an object. Only its form is
// checked here; whether the program could have made it is swissEventFault's to say.
SwissEvent readSwissObject(const Json& value)
{
    if (value.is_null())
        return {};
    const Json& object = objectAt(value, "swiss");
    onlyKeys(object, {"settings", "players", "rounds"}, "swiss");
    SwissEvent event;
    event.settings = readSwissSettings(member(object, "settings", "swiss.settings"));
    const Json& players = arrayOfAtMost(member(object, "players", "swiss.players"),
                                        kMaxSwissPlayers, "swiss.players");
    for (std::size_t i = 0; i < players.size(); ++i)
        event.players.push_back(
            readSwissPlayer(players[i], "swiss.players[" + std::to_string(i) + "]"));
    const Json& rounds =
        arrayOfAtMost(member(object, "rounds", "swiss.rounds"), kMaxSwissRounds, "swiss.rounds");
    for (std::size_t r = 0; r < rounds.size(); ++r) {
        const std::string place = "swiss.rounds[" + std::to_string(r) + "]";
        const Json& tables = arrayOfAtMost(rounds[r], kMostSwissTables, place);
        SwissRound& round = event.rounds.emplace_back();
        for (std::size_t t = 0; t < tables.size(); ++t)
            round.tables.push_back(
                readSwissTable(tables[t], place + "[" + std::to_string(t) + "]"));
    }
    return event;
}

SavedTournament readDocument(std::string_view text)
{
    if (text.size() > kTournamentFileLimit)
        refuse(FileFault::TooLarge, "");
    if (text.empty())
        refuse(FileFault::NotJson, "空のファイルです");
    if (const auto at = firstInvalidUtf8(text))
        refuse(FileFault::NotUtf8, std::to_string(*at + 1) + " バイト目");
    const Json document = parseStrictly(text);

    // Format and version first: a later version may hold fields that this one does not know.
    if (!document.is_object())
        refuse(FileFault::NotATournament, "");
    const auto format = document.find("format");
    if (format == document.end() || !format->is_string() ||
        format->get<std::string>() != kTournamentFormatName)
        refuse(FileFault::NotATournament, "");
    const int version =
        intAt(member(document, "version", "version"), std::numeric_limits<int>::min(),
              std::numeric_limits<int>::max(), "version");
    if (version > kTournamentFormatVersion)
        refuse(FileFault::LaterVersion, std::to_string(version));
    if (version < 1)
        refuse(FileFault::Damaged, named("version") + "の値がありえない大きさです");

    if (version == 1)
        onlyKeys(document, {"format", "version", "program", "saved", "tournament"}, "");
    else
        onlyKeys(document, {"format", "version", "program", "saved", "tournament", "swiss"}, "");
    SavedTournament saved;
    saved.programVersion = stringAt(member(document, "program", "program"), "program");
    if (!isVersionText(saved.programVersion))
        refuse(FileFault::Damaged, named("program") + "がバージョン番号ではありません");
    const auto savedAt = readUtcTimestamp(stringAt(member(document, "saved", "saved"), "saved"));
    if (!savedAt)
        refuse(FileFault::Damaged, named("saved") + "が日時ではありません");
    saved.savedAt = *savedAt;
    saved.tournament = readTournamentObject(member(document, "tournament", "tournament"));
    if (version >= 2)
        saved.swiss = readSwissObject(member(document, "swiss", "swiss"));
    if (const std::optional<bracket::Unreachable> why = bracket::whyUnreachable(saved.tournament))
        throw Refused{unreachableRefusal(*why)};
    if (const std::optional<std::string> fault = swissEventFault(saved.swiss))
        refuse(FileFault::Impossible, "スイスドロー: " + cutShort(*fault, 160));
    // What opens is kept and saved again, in the writer's layout: a compact file near the limit
    // would grow over it, and then no keep nor save of that board could succeed.
    if (TournamentText again = tournamentFileText(saved.tournament, saved.savedAt, saved.swiss);
        again.refusal)
        throw Refused{std::move(*again.refusal)};
    return saved;
}

std::string slotPlace(int slot)
{
    return "names[" + std::to_string(slot) + "]";
}

OrderedJson swissDocument(const SwissEvent& event)
{
    if (event == SwissEvent{})
        return nullptr;
    OrderedJson settings;
    settings["rounds"] = event.settings.rounds;
    settings["match"] = kMatchNames.at(static_cast<std::size_t>(event.settings.match));
    settings["tiebreakers"] =
        kTiebreakerNames.at(static_cast<std::size_t>(event.settings.tiebreakers));
    settings["topCut"] = event.settings.topCut;
    OrderedJson players = OrderedJson::array();
    for (const SwissPlayer& p : event.players)
        players.push_back({{"name", p.name},
                           {"reading", p.reading},
                           {"firstRound", p.firstRound},
                           {"droppedFrom", p.droppedFrom ? OrderedJson(*p.droppedFrom) : nullptr}});
    OrderedJson rounds = OrderedJson::array();
    for (const SwissRound& round : event.rounds) {
        OrderedJson tables = OrderedJson::array();
        for (const SwissTable& t : round.tables) {
            OrderedJson result = nullptr;
            if (t.result)
                result = {{"gamesA", t.result->gamesA},
                          {"gamesB", t.result->gamesB},
                          {"drawnGames", t.result->drawnGames}};
            tables.push_back({{"playerA", t.playerA},
                              {"playerB", t.playerB ? OrderedJson(*t.playerB) : nullptr},
                              {"result", std::move(result)},
                              {"rematch", t.rematch}});
        }
        rounds.push_back(std::move(tables));
    }
    OrderedJson swiss;
    swiss["settings"] = std::move(settings);
    swiss["players"] = std::move(players);
    swiss["rounds"] = std::move(rounds);
    return swiss;
}

OrderedJson documentFor(const Tournament& t, std::int64_t savedAt, const SwissEvent& swiss)
{
    OrderedJson connectors = OrderedJson::array();
    for (const Tournament::Connector& c : t.connectors)
        connectors.push_back({{"visible", c.visible},
                              {"x1", c.ends.x1},
                              {"y1", c.ends.y1},
                              {"x2", c.ends.x2},
                              {"y2", c.ends.y2}});
    OrderedJson tournament;
    tournament["names"] = t.names;
    tournament["boxVisible"] = t.boxVisible;
    tournament["boxChecked"] = t.boxChecked;
    tournament["lineVisible"] = t.lineVisible;
    tournament["connectors"] = std::move(connectors);
    tournament["fieldSize"] = t.fieldSize;
    tournament["seedName"] = t.seedName ? OrderedJson(*t.seedName) : OrderedJson(nullptr);

    OrderedJson document;
    document["format"] = kTournamentFormatName;
    document["version"] = kTournamentFormatVersion;
    document["program"] = std::to_string(kProgramVersion.major) + "." +
                          std::to_string(kProgramVersion.minor) + "." +
                          std::to_string(kProgramVersion.revision);
    document["saved"] = utcTimestamp(savedAt);
    document["tournament"] = std::move(tournament);
    document["swiss"] = swissDocument(swiss);
    return document;
}

// The document as people read it: an object with one member a line; an array of objects with
// one element a line, each element on one line; an array of such arrays (a Swiss event's rounds)
// with one element a line, laid out the same way; anything else on one line.
void layOut(const OrderedJson& value, int depth, std::string& out)
{
    const auto compact = [](const OrderedJson& v) {
        return v.dump(-1, ' ', false, OrderedJson::error_handler_t::strict);
    };
    const std::string inner(2 * (depth + 1), ' ');
    const bool listed = value.is_array() && !value.empty() &&
                        (value.front().is_object() || value.front().is_array());
    if (!value.is_object() && !listed) {
        out += compact(value);
        return;
    }
    out += value.is_object() ? "{\n" : "[\n";
    bool first = true;
    for (const auto& [key, member] : value.items()) {
        out += (first ? "" : ",\n") + inner;
        if (value.is_object()) {
            out += compact(key) + ": ";
            layOut(member, depth + 1, out);
        } else if (member.is_array()) {
            layOut(member, depth + 1, out);
        } else {
            out += compact(member);
        }
        first = false;
    }
    out += "\n" + std::string(2 * depth, ' ') + (value.is_object() ? "}" : "]");
}

// Days since 1970-01-01 of a civil date, and back (proleptic Gregorian calendar).
std::int64_t daysFromCivil(std::int64_t y, unsigned m, unsigned d)
{
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const auto yearOfEra = static_cast<unsigned>(y - era * 400);
    const unsigned dayOfYear = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + static_cast<std::int64_t>(dayOfEra) - 719468;
}

struct CivilDate {
    std::int64_t year;
    unsigned month;
    unsigned day;
};

CivilDate civilFromDays(std::int64_t z)
{
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const auto dayOfEra = static_cast<unsigned>(z - era * 146097);
    const unsigned yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const unsigned dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const unsigned mp = (5 * dayOfYear + 2) / 153;
    const unsigned d = dayOfYear - (153 * mp + 2) / 5 + 1;
    const unsigned m = mp < 10 ? mp + 3 : mp - 9;
    return {static_cast<std::int64_t>(yearOfEra) + era * 400 + (m <= 2), m, d};
}

// The instants a timestamp can name: 1970-01-01T00:00:00Z to 9999-12-31T23:59:59Z.
constexpr std::int64_t kLatestInstant = 253402300799;

} // namespace

std::string FileRefusal::reason() const
{
    const std::string inBrackets = detail.empty() ? "" : "（" + detail + "）";
    switch (fault) {
    case FileFault::CannotRead:
        return "ファイルを読めません" + inBrackets + "。";
    case FileFault::CannotWrite:
        return "ファイルに書き込めません" + inBrackets + "。";
    case FileFault::TooLarge:
        return "ファイルが大きすぎます（大会ファイルは 1 MiB までです）。";
    case FileFault::NotUtf8:
        return "文字コードが UTF-8 ではありません" + inBrackets + "。";
    case FileFault::NotJson:
        return "大会ファイルではありません（JSON として読めません" +
               (detail.empty() ? "" : "、" + detail) + "）。";
    case FileFault::NotATournament:
        return "Velka Tablewright の大会ファイルではありません。";
    case FileFault::LaterVersion:
        return "新しいバージョンの Velka Tablewright で保存された大会ファイルです（形式 " + detail +
               "）。このバージョンでは開けません。";
    case FileFault::Damaged:
        return "大会ファイルが壊れています" + inBrackets + "。";
    case FileFault::OffBoard:
        return "接続線の端がトーナメント表の外にあります" + inBrackets + "。";
    case FileFault::Impossible:
        return "このプログラムでは作れない大会の状態です" + inBrackets + "。";
    }
    return "大会ファイルを読めません。";
}

FileRefusal unreachableRefusal(const bracket::Unreachable& why)
{
    return {why.kind == bracket::Unreachable::Kind::OffBoard ? FileFault::OffBoard
                                                             : FileFault::Impossible,
            why.detail};
}

TournamentReading readTournamentText(std::string_view text)
{
    try {
        return {readDocument(text), std::nullopt};
    } catch (const Refused& refused) {
        return {std::nullopt, refused.refusal};
    } catch (const std::exception& error) {
        // The checks above leave the library nothing to throw; should it all the same, the
        // file is refused rather than the program ended.
        return {std::nullopt, FileRefusal{FileFault::Damaged, error.what()}};
    }
}

TournamentReading readTournamentFile(const std::filesystem::path& file)
{
    try {
        const FileBytes read = readFileBytes(file, kTournamentFileLimit);
        if (read.error)
            return {std::nullopt, FileRefusal{FileFault::CannotRead, *read.error}};
        if (read.overLimit)
            return {std::nullopt, FileRefusal{FileFault::TooLarge, ""}};
        return readTournamentText(read.bytes);
    } catch (const std::exception& error) {
        return {std::nullopt, FileRefusal{FileFault::CannotRead, error.what()}};
    }
}

namespace {

std::optional<FileRefusal> open(BracketBoard& board, SwissDraw* swiss,
                                const TournamentReading& reading)
{
    if (reading.refusal)
        return reading.refusal;
    putInPlace(*reading.saved, board, swiss);
    return std::nullopt;
}

} // namespace

void putInPlace(const SavedTournament& saved, BracketBoard& board, SwissDraw* swiss)
{
    if (swiss && swiss->event() != saved.swiss) {
        if (saved.swiss == SwissEvent{})
            swiss->clear();
        else
            swiss->load(saved.swiss);
    }
    board.setTournament(saved.tournament);
}

std::optional<FileRefusal> openTournamentText(BracketBoard& board, std::string_view text,
                                              SwissDraw* swiss)
{
    return open(board, swiss, readTournamentText(text));
}

std::optional<FileRefusal> openTournamentFile(BracketBoard& board,
                                              const std::filesystem::path& file, SwissDraw* swiss)
{
    return open(board, swiss, readTournamentFile(file));
}

TournamentText tournamentFileText(const Tournament& tournament, std::int64_t savedAt,
                                  const SwissEvent& swiss)
{
    const auto utf8 = [](const std::string& s) { return !firstInvalidUtf8(s).has_value(); };
    for (int i = 0; i < board::kSlotCount; ++i) {
        if (!utf8(tournament.names[i]))
            return {"", FileRefusal{FileFault::NotUtf8, slotPlace(i)}};
    }
    if (tournament.seedName && !utf8(*tournament.seedName))
        return {"", FileRefusal{FileFault::NotUtf8, "seedName"}};
    for (std::size_t i = 0; i < swiss.players.size(); ++i) {
        const SwissPlayer& p = swiss.players[i];
        if (!utf8(p.name) || !utf8(p.reading))
            return {"",
                    FileRefusal{FileFault::NotUtf8, "swiss.players[" + std::to_string(i) +
                                                        (utf8(p.name) ? "].reading" : "].name")}};
    }
    std::string text;
    layOut(documentFor(tournament, savedAt, swiss), 0, text);
    text += '\n';
    if (text.size() > kTournamentFileLimit)
        return {"", FileRefusal{FileFault::TooLarge, ""}};
    return {std::move(text), std::nullopt};
}

std::optional<FileRefusal> writeTournamentFile(const std::filesystem::path& file,
                                               const Tournament& tournament, std::int64_t savedAt,
                                               const SwissEvent& swiss)
{
    TournamentText text = tournamentFileText(tournament, savedAt, swiss);
    if (text.refusal)
        return text.refusal;
    if (auto error = writeFileAtomically(file, text.text))
        return FileRefusal{FileFault::CannotWrite, *error};
    return std::nullopt;
}

Message openRefusalMessage(std::string_view fileName, const FileRefusal& refusal)
{
    return errorMessage("「" + std::string(fileName) + "」を開けません。\r\n" + refusal.reason());
}

Message saveFailureMessage(std::string_view fileName, const FileRefusal& refusal)
{
    return errorMessage("「" + std::string(fileName) + "」に保存できません。\r\n" +
                        refusal.reason());
}

std::string utcTimestamp(std::int64_t instant)
{
    instant = std::clamp<std::int64_t>(instant, 0, kLatestInstant);
    const std::int64_t days = instant / 86400;
    const std::int64_t second = instant % 86400;
    const CivilDate date = civilFromDays(days);
    const auto twoDigits = [](std::int64_t n) {
        return std::string(n < 10 ? "0" : "") + std::to_string(n);
    };
    std::string year = std::to_string(date.year);
    year.insert(0, 4 - std::min<std::size_t>(4, year.size()), '0');
    return year + "-" + twoDigits(date.month) + "-" + twoDigits(date.day) + "T" +
           twoDigits(second / 3600) + ":" + twoDigits(second / 60 % 60) + ":" +
           twoDigits(second % 60) + "Z";
}

std::optional<std::int64_t> readUtcTimestamp(std::string_view text)
{
    // Exactly YYYY-MM-DDTHH:MM:SSZ.
    constexpr std::string_view kShape = "dddd-dd-ddTdd:dd:ddZ";
    if (text.size() != kShape.size())
        return std::nullopt;
    for (std::size_t i = 0; i < kShape.size(); ++i) {
        const bool digit = text[i] >= '0' && text[i] <= '9';
        if (kShape[i] == 'd' ? !digit : text[i] != kShape[i])
            return std::nullopt;
    }
    const auto number = [&text](std::size_t at, std::size_t length) {
        int n = 0;
        for (std::size_t i = at; i < at + length; ++i)
            n = n * 10 + (text[i] - '0');
        return n;
    };
    const int year = number(0, 4);
    const int month = number(5, 2);
    const int day = number(8, 2);
    const int hour = number(11, 2);
    const int minute = number(14, 2);
    const int second = number(17, 2);
    if (year < 1970 || month < 1 || month > 12 || day < 1 || hour > 23 || minute > 59 ||
        second > 59)
        return std::nullopt;
    const std::int64_t days =
        daysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day));
    // A day past the month's end comes back as another date.
    const CivilDate check = civilFromDays(days);
    if (check.month != static_cast<unsigned>(month) || check.day != static_cast<unsigned>(day))
        return std::nullopt;
    return days * 86400 + hour * 3600 + minute * 60 + second;
}

} // namespace velka
