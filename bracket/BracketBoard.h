#pragma once

#include "bracket/BoardGeometry.h"
#include "bracket/Tournament.h"
#include "core/Message.h"
#include "core/Subscription.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace velka {

// The bracket board behind the main window: 16 name slots, 31 advancement lines, 30 winner
// boxes and 15 connectors (see BoardGeometry.h for the index scheme), and the connector
// coordinates saved at load. Line k (k < 30) is shown exactly when box k is checked after every
// operation; every change of a box's state runs ApplyBoxRule, setting the state it already
// holds runs nothing. The window's size is the window's own: nothing here knows it.
class BracketBoard {
public:
    // Which element changed; index is its array index (0 for the two below). DrawRecord: what
    // the draw knew changed, nothing that shows. Everything: the whole tournament was replaced
    // at once (setTournament); a view shows the board afresh.
    enum class Part {
        SlotCaption,
        BoxState,
        BoxVisible,
        LineVisible,
        Connector,
        DrawRecord,
        Everything
    };
    struct Change {
        Part part;
        int index;
    };

    // The board as designed, before the main window's load step: captions "参加者1".."参加者16",
    // every line, box and connector shown, every box unchecked.
    BracketBoard();

    // Tells the callback of every change of the board, right after it happened, for as long as
    // the returned subscription lives.
    Subscription subscribe(std::function<void(Change)> callback)
    {
        return changed_.subscribe(std::move(callback));
    }

    // The board's part of the main window's load step: SaveConnectorGeometry, AllClear.
    void Load();
    void SaveConnectorGeometry();
    // Hides and checks every box, shows every line, restores the captions and puts every
    // connector back to its saved coordinates, and forgets what the last draw knew. Connector
    // visibility stays.
    void AllClear();

    // The tournament on the board, exactly: every slot, box, line and connector, and what the
    // last draw knew.
    Tournament tournament() const;
    // Sets the whole tournament at once, exactly as given, without the box rule or any other
    // reaction: a value taken with tournament() comes back as it was. Subscribers hear one
    // Everything, or nothing when the board held that tournament already. The saved connector
    // coordinates stay. The value is taken as it is; a tournament read from a
    // file has been checked by its reader.
    void setTournament(const Tournament& tournament);
    // Whether the board holds anything that a reset would take away: a draw's names or record,
    // a mark, a connector moved. Progress mode alone is no mark, nor are the connectors that a
    // reset leaves hidden. Opening a tournament over such a board asks first.
    bool holdsMarks() const;

    // What the draw knew: the field size it drew (2 to 16) and the seeded name, if any. The
    // draw records them as its last step; AllClear forgets them (field size 0, no seed).
    int fieldSize() const { return fieldSize_; }
    const std::optional<std::string>& seedName() const { return seedName_; }
    void recordDraw(int fieldSize, std::optional<std::string> seedName);

    const std::string& slotCaption(int slot) const { return captions_.at(slot); }
    void setSlotCaption(int slot, std::string caption);

    bool boxChecked(int box) const { return boxChecked_.at(box); }
    void setBoxChecked(int box, bool checked);
    bool boxVisible(int box) const { return boxVisible_.at(box); }
    void setBoxVisible(int box, bool visible);
    // Shows line k when box k is checked and hides it otherwise.
    void ApplyBoxRule(int box);

    bool lineVisible(int line) const { return lineVisible_.at(line); }
    void setLineVisible(int line, bool visible);
    const BoardLine& line(int line) const { return board::kDesignLines.at(line); }

    const BoardLine& connector(int c) const { return connectors_.at(c); }
    bool connectorVisible(int c) const { return connectorVisible_.at(c); }
    void setConnectorVisible(int c, bool visible);
    void setConnectorY2(int c, int y2);

    bool connectorGeometrySaved() const { return YokoX1.size() == board::kConnectorCount; }
    // The coordinates that SaveConnectorGeometry kept for connector c.
    BoardLine savedConnector(int c) const;

    // Progress mode is on while box 0 shows; the program shows and hides all 30 boxes together.
    bool progressMode() const { return boxVisible(0); }
    void ToggleProgress();

    // The question that the initialise button asks before it resets the board.
    static Message clearQuestion();
    // The question asked before another tournament replaces one that holds marks (holdsMarks):
    // a file opened, a Swiss event's top cut. Titled for the action that replaces it.
    static Message replaceQuestion(std::string title);
    // Asks clearQuestion(); a Yes runs AllClear, a No changes nothing.
    void ConfirmClear(MessageBoxes& boxes);

private:
    void notify(Part part, int index);

    std::array<std::string, board::kSlotCount> captions_;
    std::array<bool, board::kBoxCount> boxChecked_{};
    std::array<bool, board::kBoxCount> boxVisible_{};
    std::array<bool, board::kLineCount> lineVisible_{};
    std::array<BoardLine, board::kConnectorCount> connectors_;
    std::array<bool, board::kConnectorCount> connectorVisible_{};
    int fieldSize_ = 0;
    std::optional<std::string> seedName_;

    // Saved design coordinates of the connectors, stored as 16-bit integers (every twip value on
    // the board fits); the board's other numbers are int.
    std::vector<std::int16_t> YokoX1, YokoX2, YokoY1, YokoY2;

    Notifier<Change> changed_;
};

// "参加者" followed by slot + 1: the caption of a name slot after a reset.
std::string designCaption(int slot);

} // namespace velka
