#pragma once

#include "board/BracketExport.h"
#include "board/BracketProjectorView.h"
#include "uikit/ProjectorController.h"

#include <QDateTime>
#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

class QAction;
class QByteArray;
class QMenu;

namespace velka {

class BracketBoard;
class Clock;
class MessageBoxes;
class PrintDialogs;
class SaveFileDialogs;

// The bracket off the screen: the projector view, printing, saving as PDF or picture and
// copying the picture, offered as actions with shortcuts on the main window and as the board's
// context menu. Each output is drawn afresh from the board when it is asked for; nothing is
// stored unless the organiser saves a file.
class BracketOutputs final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(BracketOutputs)

public:
    // window takes the shortcuts and is the parent of the dialogs; boardWidget is where the
    // context menu opens.
    BracketOutputs(BracketBoard& board, MessageBoxes& messageBoxes, QWidget* window,
                   QWidget* boardWidget);
    ~BracketOutputs() override;

    // Replaces the dialogs and the clock, for tests. The services must outlive this object.
    void useServices(SaveFileDialogs& files, PrintDialogs& printing, const Clock& clock);
    // Replaces how the PDF and the picture are made, for tests that make it fail.
    void useRendering(BracketRendering rendering) { rendering_ = std::move(rendering); }

    // The context menu, built afresh for the monitors present now. The caller owns it.
    QMenu* createMenu(QWidget* parent);
    // Opens the context menu at a global position, or by the board when pos is null.
    void showMenu(const QPoint& globalPos = {});

    void toggleProjector();
    void openProjector();
    BracketProjectorView* projector() const;
    ScreenChoice& screenChoice() { return projectorController_->screenChoice(); }

    void print();
    void saveAsPdf();
    void saveAsPicture();
    void copyPicture();

    QAction* projectorAction() const { return projectorAction_; }
    QAction* printAction() const { return printAction_; }
    QAction* savePdfAction() const { return savePdfAction_; }
    QAction* savePictureAction() const { return savePictureAction_; }
    QAction* copyAction() const { return copyAction_; }

private:
    QDateTime now() const;
    // Asks where, makes the file's bytes and writes them whole. When contents gives nothing
    // (the bracket could not be drawn, or not whole), that is reported and nothing is written.
    void save(const QString& title, const QString& suffix, const QString& filter,
              const std::function<std::optional<QByteArray>(const QDateTime&)>& contents);

    BracketBoard& board_;
    MessageBoxes& messageBoxes_;
    QWidget* window_;
    QWidget* boardWidget_;

    std::unique_ptr<SaveFileDialogs> ownFiles_;
    std::unique_ptr<PrintDialogs> ownPrinting_;
    std::unique_ptr<Clock> ownClock_;
    SaveFileDialogs* files_;
    PrintDialogs* printing_;
    const Clock* clock_;
    BracketRendering rendering_;

    QString folder_; // where the last file went, for the next suggestion; empty at first
    ProjectorController* projectorController_;

    QAction* projectorAction_ = nullptr;
    QAction* printAction_ = nullptr;
    QAction* savePdfAction_ = nullptr;
    QAction* savePictureAction_ = nullptr;
    QAction* copyAction_ = nullptr;
    QAction* menuKeyAction_ = nullptr;
};

} // namespace velka
