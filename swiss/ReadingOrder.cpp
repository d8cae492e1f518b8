#include "swiss/ReadingOrder.h"

#include <QCollator>
#include <QCollatorSortKey>
#include <QLocale>
#include <QString>

#include <algorithm>
#include <numeric>

namespace velka {

std::vector<int> readingOrder(const std::vector<SwissPlayer>& players)
{
    const QCollator collator(QLocale(QLocale::Japanese, QLocale::Japan));
    std::vector<QCollatorSortKey> keys;
    keys.reserve(players.size());
    for (const SwissPlayer& p : players)
        keys.push_back(
            collator.sortKey(QString::fromStdString(p.reading.empty() ? p.name : p.reading)));
    std::vector<int> order(players.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&](int a, int b) { return keys[a].compare(keys[b]) < 0; });
    return order;
}

} // namespace velka
