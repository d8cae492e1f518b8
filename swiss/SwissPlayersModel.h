#pragma once

#include "core/Message.h"

#include <QAbstractTableModel>

#include <string>
#include <utility>
#include <vector>

namespace velka {

class SwissDraw;

// The event's players as a table, in reading order (readingOrder). The name and the reading can be
// edited in place; the change goes to the model, and a refusal is handed on as `refused`. It shows
// the model's state as of the last refresh().
class SwissPlayersModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { Name, Reading, Status, ColumnCount };

    explicit SwissPlayersModel(SwissDraw& draw, QObject* parent = nullptr);

    // Takes in the model's state after a change.
    void refresh();

    // The player's index in the event shown in a row, and back; -1 when there is none.
    int playerAt(int row) const;
    int rowOf(int player) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

signals:
    void refused(const velka::Message& message);

private:
    SwissDraw& draw_;
    // What the order was made from, so that a change elsewhere does not sort again.
    std::vector<std::pair<std::string, std::string>> sortedFrom_;
    std::vector<int> order_; // row -> player
};

} // namespace velka
