#include "swiss/SwissPlayersModel.h"

#include "swiss/ReadingOrder.h"
#include "swiss/SwissDraw.h"

namespace velka {

SwissPlayersModel::SwissPlayersModel(SwissDraw& draw, QObject* parent)
    : QAbstractTableModel(parent)
    , draw_(draw)
{
    refresh();
}

void SwissPlayersModel::refresh()
{
    const std::vector<SwissPlayer>& players = draw_.event().players;
    std::vector<std::pair<std::string, std::string>> keys;
    keys.reserve(players.size());
    for (const SwissPlayer& p : players)
        keys.emplace_back(p.name, p.reading);
    if (keys == sortedFrom_) {
        // Only the status can have changed: same rows, same order.
        if (!order_.empty())
            emit dataChanged(index(0, 0), index(rowCount() - 1, ColumnCount - 1));
        return;
    }
    std::vector<int> order = readingOrder(players);
    if (keys.size() != sortedFrom_.size()) {
        beginResetModel();
        order_ = std::move(order);
        sortedFrom_ = std::move(keys);
        endResetModel();
        return;
    }
    // A rename: the same players in a new order. Moving the rows, rather than a reset, keeps
    // the selection and an editor that is just handing its text over.
    emit layoutAboutToBeChanged();
    const QModelIndexList before = persistentIndexList();
    std::vector<int> newRowOf(order.size());
    for (std::size_t row = 0; row < order.size(); ++row)
        newRowOf[order[row]] = static_cast<int>(row);
    QModelIndexList after;
    for (const QModelIndex& old : before)
        after << index(newRowOf[order_[old.row()]], old.column());
    order_ = std::move(order);
    sortedFrom_ = std::move(keys);
    changePersistentIndexList(before, after);
    emit layoutChanged();
    emit dataChanged(index(0, 0), index(rowCount() - 1, ColumnCount - 1));
}

int SwissPlayersModel::playerAt(int row) const
{
    return row >= 0 && row < static_cast<int>(order_.size()) ? order_[row] : -1;
}

int SwissPlayersModel::rowOf(int player) const
{
    const auto at = std::find(order_.begin(), order_.end(), player);
    return at == order_.end() ? -1 : static_cast<int>(at - order_.begin());
}

int SwissPlayersModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(order_.size());
}

int SwissPlayersModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

namespace {

QString statusOf(const SwissPlayer& p)
{
    if (p.droppedFrom)
        return QStringLiteral("棄権（第%1回戦から）").arg(*p.droppedFrom);
    if (p.firstRound > 1)
        return QStringLiteral("第%1回戦から参加").arg(p.firstRound);
    return {};
}

} // namespace

QVariant SwissPlayersModel::data(const QModelIndex& index, int role) const
{
    const int player = playerAt(index.row());
    const auto& players = draw_.event().players;
    if (player < 0 || player >= static_cast<int>(players.size()))
        return {};
    const SwissPlayer& p = players[player];
    if (role != Qt::DisplayRole && role != Qt::EditRole && role != Qt::ToolTipRole)
        return {};
    switch (index.column()) {
    case Name:
        return QString::fromStdString(p.name);
    case Reading:
        return QString::fromStdString(p.reading);
    case Status:
        return statusOf(p);
    default:
        return {};
    }
}

QVariant SwissPlayersModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Vertical)
        return section + 1;
    switch (section) {
    case Name:
        return QStringLiteral("名前");
    case Reading:
        return QStringLiteral("ふりがな");
    case Status:
        return QStringLiteral("状態");
    default:
        return {};
    }
}

Qt::ItemFlags SwissPlayersModel::flags(const QModelIndex& index) const
{
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    if (index.column() == Name || index.column() == Reading)
        flags |= Qt::ItemIsEditable;
    return flags;
}

bool SwissPlayersModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    const int player = playerAt(index.row());
    if (role != Qt::EditRole || player < 0 || index.column() == Status)
        return false;
    const SwissPlayer& p = draw_.event().players.at(player);
    const std::string text = value.toString().toStdString();
    const bool name = index.column() == Name;
    if (auto refusal = draw_.renamePlayer(player, name ? text : p.name, name ? p.reading : text)) {
        emit refused(*refusal);
        return false;
    }
    return true;
}

} // namespace velka
