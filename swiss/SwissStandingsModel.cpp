#include "swiss/SwissStandingsModel.h"

#include "swiss/SwissDraw.h"

namespace velka {

SwissStandingsModel::SwissStandingsModel(const SwissDraw& draw, QObject* parent)
    : QAbstractTableModel(parent)
    , draw_(draw)
{
    refresh();
}

void SwissStandingsModel::refresh()
{
    const SwissEvent& event = draw_.event();
    std::vector<SwissStanding> lines = standings(event);
    const std::vector<std::string>& names = tiebreakerNames(event.settings.tiebreakers);
    if (lines.size() != lines_.size() || names != names_) {
        beginResetModel();
        lines_ = std::move(lines);
        names_ = names;
        endResetModel();
        return;
    }
    lines_ = std::move(lines);
    if (!lines_.empty())
        emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
}

int SwissStandingsModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(lines_.size());
}

int SwissStandingsModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : statusColumn() + 1;
}

QVariant SwissStandingsModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= static_cast<int>(lines_.size()))
        return {};
    const SwissStanding& line = lines_[index.row()];
    const int column = index.column();
    if (role == Qt::TextAlignmentRole) {
        const bool left = column == Name || column == statusColumn();
        return QVariant::fromValue(left ? Qt::AlignLeft | Qt::AlignVCenter
                                        : Qt::AlignRight | Qt::AlignVCenter);
    }
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole)
        return {};
    const auto& players = draw_.event().players;
    if (column == Rank)
        return line.rank;
    if (column == Name)
        return line.player < static_cast<int>(players.size())
                   ? QString::fromStdString(players[line.player].name)
                   : QString();
    if (column == MatchPoints)
        return line.matchPoints;
    if (column == Record)
        return QStringLiteral("%1-%2-%3").arg(line.wins).arg(line.losses).arg(line.draws);
    if (column == statusColumn())
        return line.dropped ? QStringLiteral("棄権") : QString();
    const std::size_t tiebreaker = static_cast<std::size_t>(column - FirstTiebreaker);
    if (tiebreaker < line.tiebreakers.size())
        return QString::fromStdString(line.tiebreakers[tiebreaker].percentText());
    return {};
}

QVariant SwissStandingsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal)
        return {};
    switch (section) {
    case Rank:
        return QStringLiteral("順位");
    case Name:
        return QStringLiteral("名前");
    case MatchPoints:
        return QStringLiteral("勝ち点");
    case Record:
        return QStringLiteral("勝-負-分");
    default:
        break;
    }
    if (section == statusColumn())
        return QStringLiteral("状態");
    const std::size_t tiebreaker = static_cast<std::size_t>(section - FirstTiebreaker);
    if (tiebreaker < names_.size()) {
        // "OWP" and "OOWP" are percentages too, shown as such.
        const QString name = QString::fromStdString(names_[tiebreaker]);
        return name.endsWith(u'%') ? name : name + u'%';
    }
    return {};
}

} // namespace velka
