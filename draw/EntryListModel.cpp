#include "draw/EntryListModel.h"

namespace velka {

EntryListModel::EntryListModel(EntryList& entries, QObject* parent)
    : QAbstractListModel(parent)
    , entries_(entries)
{
    subscription_ = entries_.subscribe([this](EntryList::Change change) {
        const bool append = change.kind == EntryList::Change::Kind::Append;
        if (!change.done && append)
            beginInsertRows({}, change.first, change.last);
        else if (!change.done)
            beginRemoveRows({}, change.first, change.last);
        else if (append)
            endInsertRows();
        else
            endRemoveRows();
    });
}

int EntryListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : entries_.count();
}

QVariant EntryListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= entries_.count())
        return {};
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole || role == Qt::AccessibleTextRole)
        return QString::fromStdString(entries_.at(index.row()));
    return {};
}

} // namespace velka
