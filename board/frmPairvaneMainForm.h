#pragma once

#include "board/BracketOutputs.h"
#include "bracket/BracketBoard.h"
#include "keep/TournamentFileActions.h"
#include "uikit/MessagePresenter.h"
#include "uikit/PaletteSize.h"

#include <QFrame>
#include <QWidget>

#include <array>
#include <memory>

class QCheckBox;
class QLabel;
class QPushButton;

namespace velka {

// The frame that holds the board. It paints the advancement lines and connectors that the
// board shows; the name slots, winner boxes and the palette button are its children and stand
// above the lines.
class BoardPicture final : public QFrame {
    Q_OBJECT
public:
    BoardPicture(const BracketBoard& board, QWidget* parent);

    // Places a child by its board position: twips from the inner top-left corner.
    void placeChild(QWidget* child, int left, int top, int width, int height);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const BracketBoard& board_;
};

// The main window: the bracket board and, to its right, the menu palette that only shows while
// the window is wide. Every event goes to one board operation; the window then shows what the
// board holds. The buttons that open other windows only announce the wish; the application
// answers it.
class frmPairvaneMainForm final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmPairvaneMainForm)

public:
    // Builds the controls and runs the load step, so the window is ready to be shown. Its boxes
    // stand over it.
    explicit frmPairvaneMainForm(MessagePresenter& messageBoxes, QWidget* parent = nullptr);
    ~frmPairvaneMainForm() override;

    BracketBoard& board() { return board_; }
    const BracketBoard& board() const { return board_; }

    // The window's outer width decides whether the menu palette shows: 5655 twips closed (the
    // load step closes it), 8385 open. cmdShow runs TogglePalette.
    static constexpr int kPaletteClosedWidth = 5655;
    static constexpr int kPaletteOpenWidth = 8385;
    int outerWidth() const { return width_.twips(); }
    bool paletteOpen() const { return width_.isOpen(); }
    void TogglePalette();

    // The projector view, printing, saving and copying of the bracket: the board's context menu
    // and the window's shortcuts F11, Ctrl+P and Ctrl+C.
    BracketOutputs& outputs() { return *outputs_; }
    // Saving and opening the tournament (Ctrl+S, Ctrl+O) and the last tournament kept, in the
    // same menu.
    TournamentFileActions& tournamentFileActions() { return *files_; }

signals:
    void newTournamentRequested();
    void eventTimerRequested();
    void versionInfoRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createWidgets();
    void connectWidgets();
    void createOutputs();
    void showChange(BracketBoard::Change change);
    void showWindowWidth();
    int boxIndexOf(const QObject* object) const;

    BracketBoard board_;
    PaletteSize width_{kPaletteClosedWidth, kPaletteOpenWidth};
    Subscription boardSubscription_;
    WindowMessageBoxes messageBoxes_;

    QPushButton* cmdClear = nullptr;
    QPushButton* cmdNew = nullptr;
    QPushButton* cmdProgress = nullptr;
    QPushButton* cmdEventTimer = nullptr;
    QPushButton* cmdVerInfo = nullptr;
    QLabel* Label1 = nullptr;
    BoardPicture* Picture1 = nullptr;
    QPushButton* cmdShow = nullptr;
    std::array<QLabel*, board::kSlotCount> lblMenber{};
    std::array<QCheckBox*, board::kBoxCount> chkTournament{};

    // Last, so that its views are gone before the board they watch.
    std::unique_ptr<BracketOutputs> outputs_;
    std::unique_ptr<TournamentFileActions> files_; // its keeper writes what is left before it goes
};

} // namespace velka
