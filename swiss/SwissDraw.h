#pragma once

#include "core/Message.h"
#include "core/Subscription.h"
#include "swiss/SwissEvent.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>
#include <vector>

namespace velka {

class RandomSource;

// A Swiss event being run: the one door through which the organiser's actions change a
// SwissEvent. Every operation either does all it says or, refused, changes nothing and returns
// the reason as a message for the organiser. Subscribers hear after every change; they read the
// new state from event() (and standings(event()) and so on), not from the notification.
//
// Players are named by their index in event().players. Before the first round is paired
// players are added, removed and renamed freely and the settings can change. Pairing the first
// round fixes the settings. From then on a player can drop (not paired again, results kept)
// and, until the second round is paired, a late player can join, losing each round missed.
// The latest round's results can be entered and changed until the next round is paired; while
// it has none it can be paired again, for the players in the event at that moment.
class SwissDraw {
public:
    explicit SwissDraw(RandomSource& random);

    const SwissEvent& event() const { return event_; }
    Subscription subscribe(std::function<void()> callback)
    {
        return changed_.subscribe(std::move(callback));
    }

    // Replaces the whole event, as when one is opened from a file: refused with the reason
    // (swissEventFault) when this program could not have made it.
    std::optional<Message> load(SwissEvent event);
    // Starts an empty event with default settings.
    void clear();
    // How many times load() or clear() has replaced the whole event so far: a keeper tells by it
    // an event that was replaced from one that was changed step by step.
    std::uint64_t replacements() const { return replacements_; }

    // Adds players at the end: all or none. The names and readings are trimmed; entries with
    // a blank name are skipped. Refused when a name is already in the event or twice among
    // the entries, when the event would have more than kMaxSwissPlayers players, or once the
    // second round is paired.
    std::optional<Message> addPlayers(const std::vector<PlayerEntry>& entries);
    std::optional<Message> addPlayer(std::string_view name, std::string_view reading = {});
    // Removes a player who is in no round; the later players move up by one index.
    std::optional<Message> removePlayer(int player);
    // Changes a player's name and reading at any time; the new name must be free.
    std::optional<Message> renamePlayer(int player, std::string_view name,
                                        std::string_view reading);
    // The player is not paired from the next round on (棄権); refused before the first round
    // is paired (remove the player then) and for a player already dropped.
    std::optional<Message> dropPlayer(int player);
    // Undoes a drop as long as no round has been paired without the player.
    std::optional<Message> reinstatePlayer(int player);

    // Refused once the first round is paired, and for values outside the choices: rounds 0
    // (the suggestion) or kMinSwissRounds..kMaxSwissRounds, a top cut of 0, 2, 4, 8 or 16.
    std::optional<Message> setSettings(const SwissSettings& settings);

    // Why pairNextRound would be refused now, or nothing when it would pair.
    std::optional<Message> nextRoundRefusal() const;
    // Pairs the next round (pairRound). The first round needs kMinSwissPlayers to
    // kMaxSwissPlayers players and a top cut no larger than the field; a later one needs every
    // result of the round before it; none after the last planned round.
    std::optional<Message> pairNextRound();
    // Pairs the latest round again, with the players in the event now (a late player joins it,
    // a dropped one leaves it); refused once any result but a bye's is in.
    std::optional<Message> pairRoundAgain();

    // Enters or changes the result of table `table` (from 0) of the latest round; refused for
    // a bye and for a result the match format does not have.
    std::optional<Message> setResult(int table, const MatchResult& result);
    std::optional<Message> clearResult(int table);

private:
    std::optional<Message> checkNewNames(const std::vector<PlayerEntry>& entries,
                                         std::optional<int> renamed) const;
    std::optional<Message> checkLatestTable(int table) const;
    void changed() const { changed_.notify(); }

    RandomSource& random_;
    SwissEvent event_;
    std::uint64_t replacements_ = 0;
    Notifier<> changed_;
};

} // namespace velka
