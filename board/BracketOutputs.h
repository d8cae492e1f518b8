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
#include <vector>

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
// context menu. Each output is painted afresh from the board when it is asked for; nothing is
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
    // Adds a group of items to the end of the context menu, after a separator: fill adds them
    // to every menu as it is built, so that they show what holds at that moment.
    void addMenuSection(std::function<void(QMenu*)> fill)
    {
        menuSections_.push_back(std::move(fill));
    }
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

    // Offers the players' page: 「スマートフォンで見る(&F)...」 at the end of the menu, which
    // asks for the page's window with playersPageRequested, and the page's address in the
    // projector view's corner, with the item that hides it. Not offered, neither shows.
    void offerPlayersPage(const PublishedAddress& page);
    QAction* playersPageAction() const { return playersPageAction_; }

signals:
    void playersPageRequested();

private:
    QDateTime now() const;
    // Asks where, makes the file's bytes and writes them whole. When contents gives nothing
    // (the bracket could not be painted, or not whole), that is reported and nothing is written.
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
    QAction* playersPageAction_ = nullptr;
    std::vector<std::function<void(QMenu*)>> menuSections_;
};

} // namespace velka
