#pragma once

#include <QObject>
#include <QPointer>

namespace velka {

class MessageBoxes;
class frmPairvaneMainForm;

// The program's windows: one instance of each window class, created on first use and unloaded
// when it closes, so that the next use builds it afresh from its design and runs its load step
// again. The program ends when its last window has closed.
class Shell final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Shell)

public:
    explicit Shell(MessageBoxes& messageBoxes, QObject* parent = nullptr);
    ~Shell() override;

    // Creates the main window (its load step runs) and shows it centred on the screen.
    void start();

    frmPairvaneMainForm& mainForm();
    bool mainFormLoaded() const { return !mainForm_.isNull(); }

private:
    MessageBoxes& messageBoxes_;
    QPointer<frmPairvaneMainForm> mainForm_;
};

} // namespace velka
