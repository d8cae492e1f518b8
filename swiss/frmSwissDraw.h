#pragma once

#include "core/Subscription.h"
#include "swiss/SwissEvent.h"
#include "uikit/MessagePresenter.h"

#include <QString>
#include <QWidget>

#include <memory>
#include <optional>
#include <string>

class QComboBox;
class QGroupBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;
class QTabWidget;
class QTableView;

namespace velka {

class BracketBoard;
class OpenFileDialogs;
class SaveFileDialogs;
class SwissDraw;
class SwissPaper;
class SwissPlayersModel;
class SwissProjector;
class SwissRoundModel;
class SwissStandingsModel;

// The window of a Swiss event (スイスドロー): the players, the settings, each round's tables with
// their results, the standings, and at the end the top cut onto the bracket board. Every event
// goes to one operation of the SwissDraw, which outlives the window; the window then shows what
// the SwissDraw holds, so closing it loses nothing. Refusals come from the SwissDraw and stand in
// "Error" boxes over this window.
//
// Results are typed on the selected table: in 2本先取 the games of the first and then of the
// second player (2 then 1 for 2-1), in 1本勝負 1 (the first player won), 2 (the second) or 0 (a
// draw); Delete clears. The table's context menu offers the same. Entering a result moves to the
// next table still without one.
class frmSwissDraw final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmSwissDraw)

public:
    frmSwissDraw(SwissDraw& draw, BracketBoard& board, MessagePresenter& messageBoxes,
                 QWidget* parent = nullptr);
    ~frmSwissDraw() override;

    // Replaces the file dialogs, for tests. They must outlive the window.
    void useFileDialogs(SaveFileDialogs& saving, OpenFileDialogs& opening);

    // The commands, as the window's buttons and keys run them.
    void addTypedPlayers();
    void readPlayersFromFile();
    void removeSelectedPlayer();
    void dropSelectedPlayer();
    void pairRound();
    // On the selected table of the latest round.
    void enterResult(const MatchResult& result);
    void clearSelectedResult();
    void savePairings();
    void saveStandings();
    void toTopCut();
    void newEvent();

    // The sheets on paper, offered by the button 「印刷・PDF」.
    SwissPaper& paper() const { return *paper_; }

    // The table selected in the list of tables (from 0), or -1.
    int selectedTable() const;
    // The round the list of tables shows (from 1), or 0 before the first.
    int shownRound() const;
    // The player selected in the list of players (an index in the event), or -1.
    int selectedPlayer() const;

    // The pairings and the standings on the projector, from the button 「プロジェクター(&H)」.
    SwissProjector& projector() { return *projector_; }

signals:
    // The top cut is on the board: the board's window may come forward.
    void topCutSeated();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createWidgets();
    void connectWidgets();
    void showState();
    void showRoundChoice();
    void showSettings();
    void showButtons();
    void showHint();
    void changeSettings(const std::function<void(SwissSettings&)>& change);
    void showRoundChosen(int comboIndex);
    bool typeResultKey(int key);
    void showTablesMenu(const QPoint& pos);
    void selectNextOpenTable(int after);
    bool showsLatestRound() const;
    void saveCsv(const QString& title, const QString& fileName, const std::string& bytes);
    // Shows a refusal, if any; true when there was one.
    bool refused(const std::optional<Message>& refusal);

    SwissDraw& draw_;
    BracketBoard& board_;
    WindowMessageBoxes messageBoxes_;
    std::unique_ptr<SaveFileDialogs> ownSaving_;
    std::unique_ptr<OpenFileDialogs> ownOpening_;
    SaveFileDialogs* saving_;
    OpenFileDialogs* opening_;
    QString folder_; // where the last file was read or saved; empty at first
    // The first player's games typed in 2本先取, waiting for the second player's.
    std::optional<int> typedGames_;

    SwissPlayersModel* playersModel_ = nullptr;
    SwissRoundModel* roundModel_ = nullptr;
    SwissStandingsModel* standingsModel_ = nullptr;

    QGroupBox* fraPlayers = nullptr;
    QLabel* lblPlayers = nullptr;
    QTableView* tblPlayers = nullptr;
    QLabel* lblEntry = nullptr;
    QPlainTextEdit* txtEntry = nullptr;
    QPushButton* cmdAdd = nullptr;
    QPushButton* cmdReadFile = nullptr;
    QPushButton* cmdRemove = nullptr;
    QPushButton* cmdDrop = nullptr;

    QGroupBox* fraSettings = nullptr;
    QLabel* lblRounds = nullptr;
    QSpinBox* spnRounds = nullptr;
    QLabel* lblSuggestedRounds = nullptr;
    QLabel* lblMatch = nullptr;
    QComboBox* cboMatch = nullptr;
    QLabel* lblTiebreakers = nullptr;
    QComboBox* cboTiebreakers = nullptr;
    QLabel* lblTopCut = nullptr;
    QComboBox* cboTopCut = nullptr;

    QTabWidget* tabEvent = nullptr;
    QLabel* lblRound = nullptr;
    QComboBox* cboRound = nullptr;
    QLabel* lblRoundState = nullptr;
    QLabel* lblTables = nullptr;
    QTableView* tblTables = nullptr;
    QLabel* lblHint = nullptr;
    QPushButton* cmdPair = nullptr;
    QPushButton* cmdSavePairings = nullptr;
    QLabel* lblStandings = nullptr;
    QTableView* tblStandings = nullptr;
    QPushButton* cmdSaveStandings = nullptr;

    QPushButton* cmdNewEvent = nullptr;
    QPushButton* cmdTopCut = nullptr;
    QPushButton* cmdPaper = nullptr;
    SwissPaper* paper_ = nullptr;
    SwissProjector* projector_ = nullptr;

    Subscription subscription_; // last: no notification reaches a half-destroyed window
};

} // namespace velka
