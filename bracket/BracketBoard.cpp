#include "bracket/BracketBoard.h"

#include <limits>
#include <stdexcept>
#include <utility>

namespace velka {

namespace {

std::int16_t toInt16(int twips)
{
    if (twips < std::numeric_limits<std::int16_t>::min() ||
        twips > std::numeric_limits<std::int16_t>::max())
        throw std::out_of_range("connector coordinate does not fit in 16 bits");
    return static_cast<std::int16_t>(twips);
}

} // namespace

std::string designCaption(int slot)
{
    return "参加者" + std::to_string(slot + 1);
}

BracketBoard::BracketBoard()
    : connectors_(board::kDesignConnectors)
{
    for (int i = 0; i < board::kSlotCount; ++i)
        captions_[i] = designCaption(i);
    boxVisible_.fill(true);
    lineVisible_.fill(true);
    connectorVisible_.fill(true);
}

void BracketBoard::notify(Part part, int index)
{
    changed_.notify(Change{part, index});
}

void BracketBoard::Load()
{
    SaveConnectorGeometry();
    AllClear();
}

void BracketBoard::SaveConnectorGeometry()
{
    for (auto* saved : {&YokoX1, &YokoX2, &YokoY1, &YokoY2})
        saved->resize(board::kConnectorCount);
    for (int c = 0; c < board::kConnectorCount; ++c) {
        YokoX1[c] = toInt16(connectors_[c].x1);
        YokoX2[c] = toInt16(connectors_[c].x2);
        YokoY1[c] = toInt16(connectors_[c].y1);
        YokoY2[c] = toInt16(connectors_[c].y2);
    }
}

BoardLine BracketBoard::savedConnector(int c) const
{
    return {YokoX1.at(c), YokoY1.at(c), YokoX2.at(c), YokoY2.at(c)};
}

void BracketBoard::AllClear()
{
    recordDraw(0, std::nullopt);
    for (int k = 0; k < board::kBoxCount; ++k) {
        setBoxVisible(k, false);
        setBoxChecked(k, true);
    }
    for (int k = 0; k < board::kLineCount; ++k)
        setLineVisible(k, true);
    for (int i = 0; i < board::kSlotCount; ++i)
        setSlotCaption(i, designCaption(i));
    // Before the geometry has been saved there is nothing to go back to.
    if (!connectorGeometrySaved())
        return;
    for (int c = 0; c < board::kConnectorCount; ++c) {
        const BoardLine saved = savedConnector(c);
        if (connectors_[c] != saved) {
            connectors_[c] = saved;
            notify(Part::Connector, c);
        }
    }
}

Tournament BracketBoard::tournament() const
{
    Tournament t;
    t.names = captions_;
    t.boxVisible = boxVisible_;
    t.boxChecked = boxChecked_;
    t.lineVisible = lineVisible_;
    for (int c = 0; c < board::kConnectorCount; ++c)
        t.connectors[c] = {connectorVisible_[c], connectors_[c]};
    t.fieldSize = fieldSize_;
    t.seedName = seedName_;
    return t;
}

bool BracketBoard::holdsMarks() const
{
    const Tournament now = tournament();
    Tournament reset = now;
    for (int i = 0; i < board::kSlotCount; ++i)
        reset.names[i] = designCaption(i);
    reset.boxChecked.fill(true);
    reset.lineVisible.fill(true);
    if (connectorGeometrySaved()) {
        for (int c = 0; c < board::kConnectorCount; ++c)
            reset.connectors[c].ends = savedConnector(c);
    }
    reset.fieldSize = 0;
    reset.seedName.reset();
    return now != reset;
}

void BracketBoard::setTournament(const Tournament& t)
{
    if (t == tournament())
        return;
    captions_ = t.names;
    boxVisible_ = t.boxVisible;
    boxChecked_ = t.boxChecked;
    lineVisible_ = t.lineVisible;
    for (int c = 0; c < board::kConnectorCount; ++c) {
        connectorVisible_[c] = t.connectors[c].visible;
        connectors_[c] = t.connectors[c].ends;
    }
    fieldSize_ = t.fieldSize;
    seedName_ = t.seedName;
    notify(Part::Everything, 0);
}

void BracketBoard::recordDraw(int fieldSize, std::optional<std::string> seedName)
{
    if (fieldSize_ == fieldSize && seedName_ == seedName)
        return;
    fieldSize_ = fieldSize;
    seedName_ = std::move(seedName);
    notify(Part::DrawRecord, 0);
}

void BracketBoard::setSlotCaption(int slot, std::string caption)
{
    std::string& current = captions_.at(slot);
    if (current == caption)
        return;
    current = std::move(caption);
    notify(Part::SlotCaption, slot);
}

void BracketBoard::setBoxChecked(int box, bool checked)
{
    if (boxChecked_.at(box) == checked)
        return;
    boxChecked_[box] = checked;
    notify(Part::BoxState, box);
    ApplyBoxRule(box);
}

void BracketBoard::setBoxVisible(int box, bool visible)
{
    if (boxVisible_.at(box) == visible)
        return;
    boxVisible_[box] = visible;
    notify(Part::BoxVisible, box);
}

void BracketBoard::ApplyBoxRule(int box)
{
    setLineVisible(box, boxChecked_.at(box));
}

void BracketBoard::setLineVisible(int line, bool visible)
{
    if (lineVisible_.at(line) == visible)
        return;
    lineVisible_[line] = visible;
    notify(Part::LineVisible, line);
}

void BracketBoard::setConnectorVisible(int c, bool visible)
{
    if (connectorVisible_.at(c) == visible)
        return;
    connectorVisible_[c] = visible;
    notify(Part::Connector, c);
}

void BracketBoard::setConnectorY2(int c, int y2)
{
    if (connectors_.at(c).y2 == y2)
        return;
    connectors_[c].y2 = y2;
    notify(Part::Connector, c);
}

void BracketBoard::ToggleProgress()
{
    const bool show = !boxVisible(0);
    for (int k = 0; k < board::kBoxCount; ++k)
        setBoxVisible(k, show);
}

Message BracketBoard::clearQuestion()
{
    return {"初期化", "初期化するとすべてのデータは失われます。\r\nよろしいですか？",
            MessageIcon::Warning, MessageButtons::YesNo};
}

Message BracketBoard::replaceQuestion(std::string title)
{
    return {std::move(title), "開くと今のトーナメント表は失われます。\r\nよろしいですか？",
            MessageIcon::Warning, MessageButtons::YesNo};
}

void BracketBoard::ConfirmClear(MessageBoxes& boxes)
{
    if (boxes.show(clearQuestion()) == MessageAnswer::Yes)
        AllClear();
}

} // namespace velka
