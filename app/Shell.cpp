#include "app/Shell.h"

#include "board/frmPairvaneMainForm.h"
#include "draw/frmNewGame.h"
#include "uikit/WindowPlacement.h"

namespace velka {

Shell::Shell(Services services, QObject* parent)
    : QObject(parent)
    , services_(services)
{}

Shell::~Shell()
{
    delete newGame_.data();
    delete mainForm_.data();
}

void Shell::start()
{
    frmPairvaneMainForm& form = mainForm();
    centreOnScreen(&form);
    form.show();
}

frmPairvaneMainForm& Shell::mainForm()
{
    if (!mainForm_) {
        mainForm_ = new frmPairvaneMainForm(services_.messageBoxes);
        mainForm_->setAttribute(Qt::WA_DeleteOnClose);
        connect(mainForm_, &frmPairvaneMainForm::newTournamentRequested, this,
                &Shell::OpenEntryDialog);
    }
    return *mainForm_;
}

frmPairvaneMainForm* Shell::loadedMainForm() const
{
    return mainForm_.data();
}

frmNewGame* Shell::loadedNewGame() const
{
    return newGame_.data();
}

frmNewGame& Shell::newGame()
{
    if (!newGame_) {
        // Owned by the main window, whose board it draws onto: it stands over it, off the
        // taskbar, and cannot outlive it.
        frmPairvaneMainForm& owner = mainForm();
        newGame_ = new frmNewGame(owner.board(), services_.random, services_.messageBoxes, &owner);
        newGame_->setAttribute(Qt::WA_DeleteOnClose);
    }
    return *newGame_;
}

void Shell::OpenEntryDialog()
{
    frmNewGame& dialog = newGame();
    centreOver(&dialog, loadedMainForm());
    dialog.exec(); // unloads the dialog when it closes
}

} // namespace velka
