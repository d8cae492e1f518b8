// The Enter of the entry dialog on arbitrary text, with the list anywhere from empty to full.
//
// Input: one byte that chooses how many names are in the list already (a few, or a few short
// of the capacity), then the text typed. Invariants: every name entered is stored byte for
// byte, in order, one for each non-empty CR LF line and nothing else; a refused Enter changes
// nothing; the list never grows past its capacity; the listener hears of exactly the rows that
// changed.

#include "draw/EntryList.h"
#include "fuzz/FuzzCheck.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace {

using velka::AddOutcome;
using velka::EntryList;

// The lines of text between CR LF pairs that are not empty, found one character at a time.
std::vector<std::string> expectedNames(std::string_view text)
{
    std::vector<std::string> names;
    std::string current;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            if (!current.empty())
                names.push_back(current);
            current.clear();
            ++i;
        } else {
            current += text[i];
        }
    }
    if (!current.empty())
        names.push_back(current);
    return names;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const std::uint8_t fill = data[0];
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);

    // The high bit: a list within 64 of full; otherwise up to 127 names. The nearly full list is
    // built once and brought back to its length after every run.
    constexpr int kNearlyFull = EntryList::kCapacity - 64;
    static EntryList nearlyFull = [] {
        EntryList list;
        std::vector<std::string> names;
        for (int i = 0; i < kNearlyFull; ++i)
            names.push_back(std::to_string(i));
        FUZZ_CHECK(list.append(std::move(names)));
        return list;
    }();
    EntryList small;
    EntryList& list = fill & 0x80 ? nearlyFull : small;
    const int already = fill & 0x80 ? EntryList::kCapacity - (fill & 0x3F) : fill & 0x7F;
    std::vector<std::string> before;
    for (int i = list.count(); i < already; ++i)
        before.push_back(std::to_string(i));
    FUZZ_CHECK(list.append(before));
    FUZZ_CHECK(list.count() == already);

    int heardBefore = 0;
    int heardAfter = 0;
    int firstHeard = -1;
    int lastHeard = -1;
    velka::Subscription subscription = list.subscribe([&](EntryList::Change change) {
        FUZZ_CHECK(change.kind == EntryList::Change::Kind::Append);
        (change.done ? heardAfter : heardBefore)++;
        firstHeard = change.first;
        lastHeard = change.last;
    });

    const std::vector<std::string> names = expectedNames(text);
    const AddOutcome outcome = velka::addEntries(list, text);

    FUZZ_CHECK(list.count() <= EntryList::kCapacity);
    // The names before stay as they were (the last 64 of a long list are enough to look at).
    for (int i = std::max(0, already - 64); i < already; ++i)
        FUZZ_CHECK(list.at(i) == std::to_string(i));
    switch (outcome) {
    case AddOutcome::NothingTyped:
        FUZZ_CHECK(text.empty());
        FUZZ_CHECK(list.count() == already);
        FUZZ_CHECK(heardBefore == 0 && heardAfter == 0);
        break;
    case AddOutcome::Added:
        FUZZ_CHECK(!text.empty());
        FUZZ_CHECK(list.count() == already + static_cast<int>(names.size()));
        for (std::size_t k = 0; k < names.size(); ++k)
            FUZZ_CHECK(list.at(already + static_cast<int>(k)) == names[k]);
        if (names.empty()) {
            FUZZ_CHECK(heardBefore == 0 && heardAfter == 0);
        } else {
            FUZZ_CHECK(heardBefore == 1 && heardAfter == 1);
            FUZZ_CHECK(firstHeard == already && lastHeard == list.count() - 1);
        }
        break;
    case AddOutcome::ListFull:
        FUZZ_CHECK(already + names.size() > static_cast<std::size_t>(EntryList::kCapacity));
        FUZZ_CHECK(list.count() == already);
        FUZZ_CHECK(heardBefore == 0 && heardAfter == 0);
        break;
    }
    subscription.reset(); // the trimming below is not part of the case
    while (list.count() > kNearlyFull)
        list.remove(list.count() - 1);
    return 0;
}
