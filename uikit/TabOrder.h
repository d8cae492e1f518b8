#pragma once

#include <QWidget>

#include <algorithm>
#include <utility>
#include <vector>

namespace velka {

// Chains the widgets' tab order by their designed tab indices, lowest first.
inline void applyTabOrder(std::vector<std::pair<int, QWidget*>> widgets)
{
    std::stable_sort(widgets.begin(), widgets.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (std::size_t i = 1; i < widgets.size(); ++i)
        QWidget::setTabOrder(widgets[i - 1].second, widgets[i].second);
}

} // namespace velka
