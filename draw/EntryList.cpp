#include "draw/EntryList.h"

#include <stdexcept>
#include <string>

namespace velka {

bool EntryList::append(std::vector<std::string> names)
{
    if (names.empty())
        return true;
    if (names.size() > static_cast<std::size_t>(kCapacity - count()))
        return false;
    for (const std::string& name : names) {
        if (name.empty())
            return false;
    }
    const int first = count();
    const int last = first + static_cast<int>(names.size()) - 1;
    notify({Change::Kind::Append, first, last, false});
    names_.insert(names_.end(), std::make_move_iterator(names.begin()),
                  std::make_move_iterator(names.end()));
    notify({Change::Kind::Append, first, last, true});
    return true;
}

void EntryList::remove(int position)
{
    if (position < 0 || position >= count())
        throw std::out_of_range("EntryList::remove: no name at position " +
                                std::to_string(position));
    notify({Change::Kind::Remove, position, position, false});
    names_.erase(names_.begin() + position);
    notify({Change::Kind::Remove, position, position, true});
}

void EntryList::notify(Change change) const
{
    changed_.notify(change);
}

AddOutcome addEntries(EntryList& list, std::string_view text)
{
    if (text.empty())
        return AddOutcome::NothingTyped;
    std::vector<std::string> names;
    std::size_t begin = 0;
    while (begin <= text.size()) {
        std::size_t end = text.find("\r\n", begin);
        if (end == std::string_view::npos)
            end = text.size();
        if (end > begin)
            names.emplace_back(text.substr(begin, end - begin));
        begin = end + 2;
    }
    return list.append(std::move(names)) ? AddOutcome::Added : AddOutcome::ListFull;
}

Message listFullMessage()
{
    return errorMessage("エントリーは" + std::to_string(EntryList::kCapacity) +
                        "人までしか登録できません。");
}

} // namespace velka
