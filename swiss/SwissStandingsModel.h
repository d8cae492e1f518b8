#pragma once

#include "swiss/Standings.h"

#include <QAbstractTableModel>

#include <vector>

namespace velka {

class SwissDraw;

// The standings as a table, best first: rank (shared by players equal on everything), name,
// match points, wins-losses-draws, the event's tiebreakers as percentages with two decimals,
// and 「棄権」 for a player who dropped. It shows the model's state as of the last refresh().
class SwissStandingsModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { Rank, Name, MatchPoints, Record, FirstTiebreaker };

    explicit SwissStandingsModel(const SwissDraw& draw, QObject* parent = nullptr);

    // Takes in the model's state after a change.
    void refresh();

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    int statusColumn() const { return FirstTiebreaker + static_cast<int>(names_.size()); }

    const SwissDraw& draw_;
    std::vector<SwissStanding> lines_;
    std::vector<std::string> names_; // the tiebreakers' column names
};

} // namespace velka
