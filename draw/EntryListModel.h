#pragma once

#include "draw/EntryList.h"

#include <QAbstractListModel>

namespace velka {

// Shows an EntryList in a list view, one row a name, in list order. It keeps no copy of the
// names: the entry list stays the one place that holds them.
class EntryListModel final : public QAbstractListModel {
    Q_OBJECT
public:
    EntryListModel(EntryList& entries, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    EntryList& entries_;
    Subscription subscription_;
};

} // namespace velka
