#pragma once

#include "swiss/SwissRecords.h"

#include <QAbstractTableModel>

#include <vector>

namespace velka {

class SwissDraw;

// One round's tables as a table: the table number, each player with their record before the
// round (wins-losses-draws and match points), the result from the first player's side, and
// whether the two met before. A rematch's row is tinted and says so; a bye is a row of its own
// with its result in. It shows the model's state as of the last refresh().
class SwissRoundModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { Table, PlayerA, RecordA, Result, PlayerB, RecordB, Note, ColumnCount };

    explicit SwissRoundModel(const SwissDraw& draw, QObject* parent = nullptr);

    // Shows round `round` (from 1; 0 for none) as it stands now.
    void showRound(int round);
    // Takes in the model's state after a change, for the round shown.
    void refresh();
    int round() const { return round_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    QString playerText(int player) const;
    QString recordText(int player) const;

    const SwissDraw& draw_;
    int round_ = 0;
    int rows_ = 0;
    std::vector<PlayerRecord> before_; // every player's record before the round shown
};

} // namespace velka
