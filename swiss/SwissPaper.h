#pragma once

#include "swiss/SwissSheets.h"

#include <QDateTime>
#include <QObject>
#include <QString>

#include <functional>
#include <map>
#include <memory>
#include <optional>

class QAction;
class QMenu;
class QWidget;

namespace velka {

class Clock;
class MessageBoxes;
class PrintDialogs;
class SaveFileDialogs;
class SwissDraw;

// The Swiss event's sheets printed or saved as PDF, offered as a menu of the Swiss window:
// each sheet of the round the window shows, painted afresh from the event when asked for. A
// printer that refuses and a file that cannot be written are reported, never passed over.
class SwissPaper final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SwissPaper)

public:
    // window is the parent of the dialogs and the messages' owner; shownRound gives the round
    // the window shows (from 1; 0 before the first).
    SwissPaper(const SwissDraw& draw, MessageBoxes& messageBoxes, QWidget* window,
               std::function<int()> shownRound);
    ~SwissPaper() override;

    // Replaces the dialogs and the clock, for tests. The services must outlive this object.
    void useServices(SaveFileDialogs& files, PrintDialogs& printing, const Clock& clock);

    // The menu of the sheets, enabled as the event allows each when it opens.
    QMenu* menu() const { return menu_; }
    QAction* printAction(SwissSheet sheet) const { return printActions_.at(sheet); }
    QAction* savePdfAction(SwissSheet sheet) const { return pdfActions_.at(sheet); }

    void print(SwissSheet sheet);
    void saveAsPdf(SwissSheet sheet);

private:
    QDateTime now() const;
    void showAvailable();
    // 「スイスドロー_第3回戦_結果記入票.pdf」
    QString suggestedFileName(SwissSheet sheet, int round) const;

    const SwissDraw& draw_;
    MessageBoxes& messageBoxes_;
    QWidget* window_;
    std::function<int()> shownRound_;

    std::unique_ptr<SaveFileDialogs> ownFiles_;
    std::unique_ptr<PrintDialogs> ownPrinting_;
    std::unique_ptr<Clock> ownClock_;
    SaveFileDialogs* files_;
    PrintDialogs* printing_;
    const Clock* clock_;
    QString folder_; // where the last PDF went; empty at first

    QMenu* menu_ = nullptr;
    std::map<SwissSheet, QAction*> printActions_;
    std::map<SwissSheet, QAction*> pdfActions_;
};

} // namespace velka
