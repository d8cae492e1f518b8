#pragma once

#include "core/Message.h"
#include "core/Subscription.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace velka {

// The names of everyone who entered, in the order they were added. Every name is a non-empty
// string kept exactly as typed; the same name may stand more than once. The list holds at most
// kCapacity names, so that every count and position fits in 16 bits.
class EntryList {
public:
    static constexpr int kCapacity = 32767;

    // Names first..last (inclusive) are appended or removed. A subscriber hears of every change
    // twice: just before it (done false) and just after it (done true).
    struct Change {
        enum class Kind { Append, Remove } kind;
        int first;
        int last;
        bool done;
    };
    Subscription subscribe(std::function<void(Change)> callback)
    {
        return changed_.subscribe(std::move(callback));
    }

    int count() const { return static_cast<int>(names_.size()); }
    const std::string& at(int position) const { return names_.at(position); }

    // Appends the names in order. All or nothing: refused when a name is empty or the list
    // would grow past kCapacity.
    bool append(std::vector<std::string> names);
    // Removes the name at position; the later names move up by one. A position outside the
    // list throws std::out_of_range and changes nothing.
    void remove(int position);

private:
    void notify(Change change) const;

    std::vector<std::string> names_;
    Notifier<Change> changed_;
};

enum class AddOutcome {
    NothingTyped, // the input was empty: nothing changes, the input stays
    Added,        // every non-empty line was appended: the input is emptied
    ListFull,     // the lines would not fit: nothing changes, the input stays
};

// Appends every non-empty line of text to the list. Lines end at CR LF and only there: a lone
// CR or LF stays inside a name, and blanks are part of it.
AddOutcome addEntries(EntryList& list, std::string_view text);

// What the organiser is told when an Enter would take the list past its capacity.
Message listFullMessage();

} // namespace velka
