#include "playerspage/PageSnapshot.h"

#include <nlohmann/json.hpp>

#include <cstdio>

namespace velka::playerspage {

namespace {

using bracket::Entrant;
using bracket::Match;
using bracket::MatchResult;
using bracket::Player;
using bracket::PlayerStatus;
using bracket::Round;
using nlohmann::json;

json index(int i)
{
    return i >= 0 ? json(i) : json(nullptr);
}

json entrant(const Entrant& e)
{
    json out = json::object();
    if (e.known())
        out["player"] = e.player;
    else if (e.pending())
        out["from"] = e.fromMatch;
    return out;
}

const char* resultName(MatchResult result)
{
    switch (result) {
    case MatchResult::UpperWon:
        return "upper";
    case MatchResult::LowerWon:
        return "lower";
    case MatchResult::NobodyWent:
        return "nobody";
    case MatchResult::Pending:
        break;
    }
    return "pending";
}

const char* statusName(PlayerStatus status)
{
    switch (status) {
    case PlayerStatus::Playing:
        return "playing";
    case PlayerStatus::Out:
        return "out";
    case PlayerStatus::Champion:
        return "champion";
    case PlayerStatus::Waiting:
        break;
    }
    return "waiting";
}

const char* modeName(ClockMode mode)
{
    switch (mode) {
    case ClockMode::Countdown:
        return "countdown";
    case ClockMode::TimeUp:
        return "timeUp";
    case ClockMode::TimeOfDay:
        break;
    }
    return "timeOfDay";
}

std::string serialise(const std::optional<BracketState>& bracket)
{
    if (!bracket)
        return "null";
    json players = json::array();
    for (const Player& p : bracket->players) {
        players.push_back({{"name", p.name},
                           {"slot", p.slot},
                           {"seed", p.seed},
                           {"status", statusName(p.status)},
                           {"match", index(p.match)},
                           {"opponent", index(p.opponent)},
                           {"waitingFor", p.waitingFor}});
    }
    json rounds = json::array();
    for (const Round& r : bracket->rounds)
        rounds.push_back({{"number", r.number}, {"name", r.name}, {"matches", r.matches}});
    json matches = json::array();
    for (const Match& m : bracket->matches) {
        matches.push_back({{"round", m.round},
                           {"upper", entrant(m.upper)},
                           {"lower", entrant(m.lower)},
                           {"bye", m.bye},
                           {"result", resultName(m.result)},
                           {"next", index(m.next)}});
    }
    const json document = {{"fieldSize", bracket->players.size()},
                           {"champion", index(bracket->champion)},
                           {"players", players},
                           {"rounds", rounds},
                           {"matches", matches}};
    // Names typed on Windows or read from a file may hold broken UTF-8: replaced, never thrown.
    return document.dump(-1, ' ', false, json::error_handler_t::replace);
}

// A string as JSON text; broken UTF-8 comes out with U+FFFD.
void appendString(std::string& out, const std::string& text)
{
    out += json(text).dump(-1, ' ', false, json::error_handler_t::replace);
}

// Written straight out, without a tree of JSON values: at 256 players this is most of what a
// change in the event costs the window thread. What is false, empty or none is left out.
std::string serialise(const std::optional<SwissPageState>& swiss)
{
    if (!swiss)
        return "null";
    std::string out;
    out.reserve(64 * (swiss->players.size() + swiss->standings.size()) + 100);
    out += "{\"round\":" + std::to_string(swiss->round);
    out += ",\"rounds\":" + std::to_string(swiss->rounds);
    out += ",\"players\":[";
    for (const SwissEntry& p : swiss->players) {
        out += &p == swiss->players.data() ? "{\"name\":" : ",{\"name\":";
        appendString(out, p.name);
        if (!p.reading.empty()) {
            out += ",\"reading\":";
            appendString(out, p.reading);
        }
        if (p.table)
            out += ",\"table\":" + std::to_string(*p.table);
        if (p.opponent)
            out += ",\"opponent\":" + std::to_string(*p.opponent);
        if (!p.result.empty()) {
            out += ",\"result\":";
            appendString(out, p.result);
        }
        if (p.dropped)
            out += ",\"dropped\":true";
        out += '}';
    }
    out += "],\"standingsAfter\":" + std::to_string(swiss->standingsAfter);
    out += ",\"standings\":[";
    for (const SwissStandingEntry& line : swiss->standings) {
        out += &line == swiss->standings.data() ? "{\"rank\":" : ",{\"rank\":";
        out += std::to_string(line.rank);
        out += ",\"player\":" + std::to_string(line.player);
        out += ",\"points\":" + std::to_string(line.matchPoints);
        out += ",\"record\":";
        appendString(out, line.record);
        if (line.dropped)
            out += ",\"dropped\":true";
        out += '}';
    }
    out += "]}";
    return out;
}

// FNV-1a, 64 bits: enough to tell one state from the next.
std::uint64_t fingerprint(const std::string& text, std::uint64_t hash = 14695981039346656037ull)
{
    for (const unsigned char c : text) {
        hash ^= c;
        hash *= 1099511628211ull;
    }
    return hash;
}

} // namespace

PageSnapshot::PageSnapshot()
    : bracketJson_("null")
    , swissJson_("null")
    , etag_("\"empty\"")
{}

PageSnapshot::PageSnapshot(const PageState& state)
    : clock_(state.clock)
    , bracket_(state.bracket)
    , swiss_(state.swiss)
    , bracketJson_(serialise(state.bracket))
    , swissJson_(serialise(state.swiss))
{
    // What identifies the clock: its mode and which countdown it is, not its running readings.
    std::string clockKey = modeName(state.clock.mode);
    if (state.clock.mode != ClockMode::TimeOfDay)
        clockKey += ":" + std::to_string(state.clock.countDownEnd);
    char tag[24];
    std::snprintf(tag, sizeof tag, "\"%016llx\"",
                  static_cast<unsigned long long>(
                      fingerprint(swissJson_, fingerprint(bracketJson_, fingerprint(clockKey)))));
    etag_ = tag;
}

std::string PageSnapshot::clockPart(std::int64_t now) const
{
    if (!clock_)
        return "null";
    const ClockState c = clockAt(*clock_, now);
    std::string out = "{\"mode\":\"";
    out += modeName(c.mode);
    out += "\",\"timeOfDayMs\":" + std::to_string(c.timeOfDayMs);
    if (c.mode == ClockMode::Countdown)
        out += ",\"msLeft\":" + std::to_string(c.msLeft);
    if (c.mode != ClockMode::TimeOfDay)
        out += ",\"countdownId\":" + std::to_string(c.countDownEnd);
    out += '}';
    return out;
}

std::string PageSnapshot::json(std::int64_t now) const
{
    std::string out;
    appendJson(out, now);
    return out;
}

void PageSnapshot::appendJson(std::string& out, std::int64_t now) const
{
    const std::string clock = clockPart(now);
    out.reserve(out.size() + clock.size() + bracketJson_.size() + swissJson_.size() + 50);
    out += "{\"version\":1,\"clock\":";
    out += clock;
    out += ",\"bracket\":";
    out += bracketJson_;
    out += ",\"swiss\":";
    out += swissJson_;
    out += '}';
}

std::string PageSnapshot::clockJson(std::int64_t now) const
{
    return "{\"clock\":" + clockPart(now) + "}";
}

std::shared_ptr<const PageSnapshot> makeSnapshot(const Tournament& tournament,
                                                 const EventTimer* timer, bool timeUpShown,
                                                 const Clock& clock,
                                                 const MonotonicClock& monotonic)
{
    return makeSnapshot(tournament, std::nullopt, timer, timeUpShown, clock, monotonic);
}

std::shared_ptr<const PageSnapshot> makeSnapshot(const Tournament& tournament,
                                                 const std::optional<SwissPageState>& swiss,
                                                 const EventTimer* timer, bool timeUpShown,
                                                 const Clock& clock,
                                                 const MonotonicClock& monotonic)
{
    PageState state;
    if (swiss)
        state.swiss = swiss;
    else
        state.bracket = bracket::bracketFrom(tournament);
    state.clock = readClock(timer, timeUpShown, clock, monotonic);
    return std::make_shared<const PageSnapshot>(state);
}

} // namespace velka::playerspage
