#include "app/Shell.h"

#include "about/frmVerInfo.h"
#include "app/EventTimerCountdown.h"
#include "app/PlayersPageLink.h"
#include "board/frmPairvaneMainForm.h"
#include "draw/frmNewGame.h"
#include "swiss/SwissDraw.h"
#include "swiss/SwissProjector.h"
#include "swiss/frmSwissDraw.h"
#include "timer/frmEventTimer.h"
#include "uikit/WindowPlacement.h"

#include <QAction>
#include <QMenu>

#include <utility>

namespace velka {

Shell::Shell(Services services, QObject* parent)
    : QObject(parent)
    , services_(std::move(services))
    , swissDraw_(std::make_unique<SwissDraw>(services_.random))
    , countdown_(new EventTimerCountdown(this))
    , playersPage_(std::make_unique<PlayersPageLink>(services_))
{
    playersPage_->attach(*swissDraw_);
}

Shell::~Shell()
{
    // The dialogs belong to the main window; the event timer and the Swiss window stand alone.
    delete swissWindow_.data();
    delete eventTimer_.data();
    delete mainForm_.data();
}

void Shell::start(const QString& tournamentFile)
{
    frmPairvaneMainForm& form = mainForm();
    centreOnScreen(&form);
    form.show();
    if (!tournamentFile.isEmpty())
        form.tournamentFileActions().openFile(tournamentFile);
}

frmPairvaneMainForm& Shell::mainForm()
{
    if (!mainForm_) {
        mainForm_ = new frmPairvaneMainForm(services_.messageBoxes);
        mainForm_->setAttribute(Qt::WA_DeleteOnClose);
        connect(mainForm_, &frmPairvaneMainForm::newTournamentRequested, this,
                &Shell::OpenEntryDialog);
        connect(mainForm_, &frmPairvaneMainForm::eventTimerRequested, this, &Shell::OpenEventTimer);
        connect(mainForm_, &frmPairvaneMainForm::versionInfoRequested, this,
                &Shell::OpenVersionInfo);
        // 「スイスドロー(&W)...」 after the tournament's files in the board's menu.
        auto* swiss = new QAction(QStringLiteral("スイスドロー(&W)..."), mainForm_);
        swiss->setObjectName(QStringLiteral("actSwissDraw"));
        connect(swiss, &QAction::triggered, this, &Shell::OpenSwissDraw);
        mainForm_->outputs().addMenuSection([swiss](QMenu* menu) { menu->addAction(swiss); });
        // The Swiss window puts its top cut on this board: it goes when the board goes.
        connect(mainForm_, &QObject::destroyed, this, [this] { delete swissWindow_.data(); });
        playersPage_->attach(*mainForm_);
        mainForm_->tournamentFileActions().includeSwissEvent(*swissDraw_);
        if (!keptFolder_.isEmpty())
            mainForm_->tournamentFileActions().keepIn(keptFolder_);
    }
    return *mainForm_;
}

// The two modal windows belong to the main window, from which alone they open: they stand over
// it, stay off the taskbar, and cannot outlive it.
frmNewGame& Shell::newGame()
{
    if (!newGame_) {
        frmPairvaneMainForm& owner = mainForm();
        newGame_ = new frmNewGame(owner.board(), services_.random, services_.messageBoxes, &owner);
        newGame_->setAttribute(Qt::WA_DeleteOnClose);
    }
    return *newGame_;
}

frmVerInfo& Shell::verInfo()
{
    if (!verInfo_) {
        verInfo_ = new frmVerInfo(services_.browser, &mainForm());
        verInfo_->setAttribute(Qt::WA_DeleteOnClose);
    }
    return *verInfo_;
}

frmSwissDraw& Shell::swissWindow()
{
    if (!swissWindow_) {
        // No owner, so that it stacks as a window of its own beside the board, on the taskbar.
        frmPairvaneMainForm& form = mainForm();
        swissWindow_ = new frmSwissDraw(*swissDraw_, form.board(), services_.messageBoxes);
        swissWindow_->setAttribute(Qt::WA_DeleteOnClose);
        connect(swissWindow_, &frmSwissDraw::topCutSeated, this, [this] {
            if (frmPairvaneMainForm* board = loadedMainForm()) {
                board->raise();
                board->activateWindow();
            }
        });
        // Its projector view goes where the others go, with the timer's time left and the
        // players' page's address in its corners.
        SwissProjector& projector = swissWindow_->projector();
        projector.useCountdown(countdown_);
        if (const PublishedAddress* page = playersPage_->publishedAddress())
            projector.offerAddressCorner(*page);
        centreOver(swissWindow_, &form);
    }
    return *swissWindow_;
}

frmEventTimer& Shell::eventTimer()
{
    if (!eventTimer_) {
        // No owner: it keeps running when the main window closes.
        eventTimer_ = new frmEventTimer(services_.clock, services_.messageBoxes,
                                        {services_.sound, services_.screenSaver});
        eventTimer_->setAttribute(Qt::WA_DeleteOnClose);
        playersPage_->attach(*eventTimer_);
        countdown_->watch(*eventTimer_);
    }
    return *eventTimer_;
}

frmPairvaneMainForm* Shell::loadedMainForm() const
{
    return mainForm_.data();
}

frmNewGame* Shell::loadedNewGame() const
{
    return newGame_.data();
}

frmEventTimer* Shell::loadedEventTimer() const
{
    return eventTimer_.data();
}

frmVerInfo* Shell::loadedVerInfo() const
{
    return verInfo_.data();
}

frmSwissDraw* Shell::loadedSwissDraw() const
{
    return swissWindow_.data();
}

QWidget* Shell::loadedPlayersPage() const
{
    return playersPage_->loadedWindow();
}

void Shell::OpenEntryDialog()
{
    frmNewGame& dialog = newGame();
    centreOver(&dialog, loadedMainForm());
    dialog.exec(); // unloads the dialog when it closes
}

void Shell::OpenEventTimer()
{
    frmEventTimer& timer = eventTimer();
    if (!timer.isVisible())
        timer.show();
}

void Shell::OpenSwissDraw()
{
    frmSwissDraw& window = swissWindow();
    window.show();
    window.raise();
    window.activateWindow();
}

void Shell::OpenVersionInfo()
{
    frmVerInfo& window = verInfo();
    centreOver(&window, loadedMainForm());
    window.exec(); // unloads the window when it closes
}

} // namespace velka
