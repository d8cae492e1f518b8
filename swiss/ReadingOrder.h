#pragma once

#include "swiss/SwissEvent.h"

#include <vector>

namespace velka {

// The players' indexes in Japanese order, as every list of names in the hall shows them: by the
// reading where there is one, otherwise by the name (QCollator for ja_JP); players equal in that
// order stand as they were entered.
std::vector<int> readingOrder(const std::vector<SwissPlayer>& players);

} // namespace velka
