#pragma once

#include "draw/EntryList.h"

#include <string>
#include <vector>

namespace velka::test {

// The names in the list, in the list's order.
inline std::vector<std::string> namesIn(const EntryList& list)
{
    std::vector<std::string> names;
    for (int i = 0; i < list.count(); ++i)
        names.push_back(list.at(i));
    return names;
}

} // namespace velka::test
