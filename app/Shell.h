#pragma once

#include <QObject>
#include <QPointer>

namespace velka {

class MessageBoxes;
class RandomSource;
class frmNewGame;
class frmPairvaneMainForm;

// The platform services the windows reach through small interfaces.
struct Services {
    MessageBoxes& messageBoxes;
    RandomSource& random;
};

// The program's windows: one instance of each window class, created on first use and unloaded
// when it closes, so that the next use builds it afresh from its design and runs its load step
// again. No data is handed to a window when it opens. The program ends when its last window has
// closed.
class Shell final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Shell)

public:
    explicit Shell(Services services, QObject* parent = nullptr);
    ~Shell() override;

    // Creates the main window (its load step runs) and shows it centred on the screen.
    void start();

    // Shows the entry dialog modally; returns when it has closed.
    void OpenEntryDialog();

    frmPairvaneMainForm& mainForm();
    frmNewGame& newGame();

    // The loaded instances, or null.
    frmPairvaneMainForm* loadedMainForm() const;
    frmNewGame* loadedNewGame() const;

private:
    Services services_;
    QPointer<frmPairvaneMainForm> mainForm_;
    QPointer<frmNewGame> newGame_;
};

} // namespace velka
