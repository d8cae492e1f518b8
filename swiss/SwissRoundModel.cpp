#include "swiss/SwissRoundModel.h"

#include "swiss/SwissDraw.h"

#include <QBrush>
#include <QColor>
#include <QFont>

namespace velka {

namespace {

const QColor kRematchTint(0xff, 0xe0, 0xb0);

} // namespace

SwissRoundModel::SwissRoundModel(const SwissDraw& draw, QObject* parent)
    : QAbstractTableModel(parent)
    , draw_(draw)
{}

void SwissRoundModel::showRound(int round)
{
    beginResetModel();
    round_ = round;
    const auto& rounds = draw_.event().rounds;
    rows_ = round_ >= 1 && round_ <= static_cast<int>(rounds.size())
                ? static_cast<int>(rounds[round_ - 1].tables.size())
                : 0;
    before_ = playerRecords(draw_.event(), round_ - 1);
    endResetModel();
}

void SwissRoundModel::refresh()
{
    const auto& rounds = draw_.event().rounds;
    const int rows = round_ >= 1 && round_ <= static_cast<int>(rounds.size())
                         ? static_cast<int>(rounds[round_ - 1].tables.size())
                         : 0;
    if (rows != rows_ || static_cast<std::size_t>(before_.size()) != draw_.event().players.size()) {
        showRound(round_);
        return;
    }
    // A result or a name: the same tables, so the selection stays where it is.
    before_ = playerRecords(draw_.event(), round_ - 1);
    if (rows_ > 0)
        emit dataChanged(index(0, 0), index(rows_ - 1, ColumnCount - 1));
}

int SwissRoundModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : rows_;
}

int SwissRoundModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QString SwissRoundModel::playerText(int player) const
{
    const auto& players = draw_.event().players;
    return player >= 0 && player < static_cast<int>(players.size())
               ? QString::fromStdString(players[player].name)
               : QString();
}

QString SwissRoundModel::recordText(int player) const
{
    if (player < 0 || player >= static_cast<int>(before_.size()))
        return {};
    const PlayerRecord& r = before_[player];
    return QStringLiteral("%1-%2-%3（%4点）")
        .arg(r.wins)
        .arg(r.losses)
        .arg(r.draws)
        .arg(r.matchPoints);
}

QVariant SwissRoundModel::data(const QModelIndex& index, int role) const
{
    const auto& rounds = draw_.event().rounds;
    if (!index.isValid() || round_ < 1 || round_ > static_cast<int>(rounds.size()) ||
        index.row() >= static_cast<int>(rounds[round_ - 1].tables.size()))
        return {};
    const SwissTable& t = rounds[round_ - 1].tables[index.row()];
    const MatchFormat format = draw_.event().settings.match;
    const int column = index.column();

    if (role == Qt::BackgroundRole)
        return t.rematch ? QVariant(QBrush(kRematchTint)) : QVariant();
    if (role == Qt::TextAlignmentRole) {
        const bool centred = column == Table || column == Result || column == Note;
        return QVariant::fromValue(centred ? Qt::AlignCenter : Qt::AlignLeft | Qt::AlignVCenter);
    }
    if (role == Qt::FontRole) {
        // The winner's name in bold.
        if (!t.result || (column != PlayerA && column != PlayerB) || t.bye())
            return {};
        const int points = matchPointsOf(*t.result);
        const bool won = column == PlayerA ? points == 3 : points == 0;
        if (!won)
            return {};
        QFont bold;
        bold.setBold(true);
        return bold;
    }
    if (role == Qt::ForegroundRole && column == Result && !t.result)
        return QBrush(Qt::gray);
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole && role != Qt::AccessibleTextRole)
        return {};

    switch (column) {
    case Table:
        // A screen reader hears that a table is a rematch where the eye sees the tint.
        if (role == Qt::AccessibleTextRole && t.rematch)
            return QStringLiteral("%1卓 再戦").arg(index.row() + 1);
        return QString::number(index.row() + 1);
    case PlayerA:
        return playerText(t.playerA);
    case RecordA:
        return recordText(t.playerA);
    case Result:
        if (t.bye())
            return QStringLiteral("不戦勝");
        if (!t.result)
            return QStringLiteral("未入力");
        return QString::fromStdString(resultText(format, *t.result));
    case PlayerB:
        return t.bye() ? QStringLiteral("（不戦勝）") : playerText(*t.playerB);
    case RecordB:
        return t.bye() ? QString() : recordText(*t.playerB);
    case Note:
        return t.rematch ? QStringLiteral("再戦") : QString();
    default:
        return {};
    }
}

QVariant SwissRoundModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal)
        return {};
    switch (section) {
    case Table:
        return QStringLiteral("卓");
    case PlayerA:
        return QStringLiteral("選手1");
    case RecordA:
        return QStringLiteral("成績1");
    case Result:
        return QStringLiteral("結果");
    case PlayerB:
        return QStringLiteral("選手2");
    case RecordB:
        return QStringLiteral("成績2");
    case Note:
        return QStringLiteral("備考");
    default:
        return {};
    }
}

} // namespace velka
