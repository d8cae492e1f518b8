#pragma once

#include "draw/EntryList.h"
#include "uikit/MessagePresenter.h"

#include <QDialog>

#include <memory>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListView;
class QPlainTextEdit;
class QPushButton;

namespace velka {

class BracketBoard;
class EntryListModel;
class RandomSource;

// The entry dialog of a new tournament: the entrants' names, typed in and moved into the entry
// list with Enter, the field size and an optional seed. The start button draws the field onto
// the main window's board and closes the dialog; a refused draw leaves everything as it was.
// It has no default and no cancel button: Return in the input box starts a new line and Escape
// does nothing, so that nothing typed is lost by a stray key.
class frmNewGame final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmNewGame)

public:
    frmNewGame(BracketBoard& board, RandomSource& random, MessagePresenter& messageBoxes,
               QWidget* parent = nullptr);
    ~frmNewGame() override;

    const EntryList& entries() const { return entries_; }

    // The input box's text with every line break the organiser typed or pasted as CR LF, and
    // every other character as it stands.
    std::string typedEntries() const;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void createWidgets();
    void connectWidgets();
    void enterNames();
    void deleteSelected();
    void startTournament();

    BracketBoard& board_;
    RandomSource& random_;
    WindowMessageBoxes messageBoxes_;
    EntryList entries_;
    // Goes before the list it shows; the view, deleted later with the dialog, is told.
    std::unique_ptr<EntryListModel> entriesModel_;

    QGroupBox* fraEntry = nullptr;
    QListView* lstEntry = nullptr;
    QPushButton* cmdDeleteList = nullptr;
    QPlainTextEdit* txtEntry = nullptr;
    QPushButton* cmdEntry = nullptr;
    QPushButton* cmdNewEventExec = nullptr;
    QLineEdit* txtMenber = nullptr;
    QLabel* Label1 = nullptr;
    QCheckBox* chkSeed = nullptr;
    QLineEdit* txtSeed = nullptr;
};

} // namespace velka
