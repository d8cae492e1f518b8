#include "swiss/SwissPaper.h"

#include "core/Clock.h"
#include "core/Message.h"
#include "swiss/HallListing.h"
#include "swiss/SwissDraw.h"
#include "uikit/FileDialogs.h"
#include "uikit/PdfSearchableText.h"
#include "uikit/PrintDialogs.h"
#include "uikit/WholeFile.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QPrinter>

namespace velka {

namespace {

// The access keys of the menu's items, a sheet each: printing, then saving as PDF.
const std::map<SwissSheet, std::pair<QChar, QChar>> kMenuKeys{
    {SwissSheet::PairingsByName, {u'N', u'A'}},
    {SwissSheet::PairingsByTable, {u'T', u'B'}},
    {SwissSheet::Standings, {u'S', u'C'}},
    {SwissSheet::ResultSlips, {u'R', u'D'}}};

} // namespace

SwissPaper::SwissPaper(const SwissDraw& draw, MessageBoxes& messageBoxes, QWidget* window,
                       std::function<int()> shownRound)
    : QObject(window)
    , draw_(draw)
    , messageBoxes_(messageBoxes)
    , window_(window)
    , shownRound_(std::move(shownRound))
    , ownFiles_(std::make_unique<QtSaveFileDialogs>())
    , ownPrinting_(std::make_unique<QtPrintDialogs>())
    , ownClock_(std::make_unique<SystemClock>())
    , files_(ownFiles_.get())
    , printing_(ownPrinting_.get())
    , clock_(ownClock_.get())
    , menu_(new QMenu(window))
{
    menu_->setObjectName(QStringLiteral("mnuPaper"));
    for (const SwissSheet sheet : kSwissSheets) {
        QAction* action = menu_->addAction(
            QStringLiteral("%1を印刷(&%2)...").arg(sheetName(sheet), kMenuKeys.at(sheet).first));
        connect(action, &QAction::triggered, this, [this, sheet] { print(sheet); });
        printActions_[sheet] = action;
    }
    menu_->addSeparator();
    for (const SwissSheet sheet : kSwissSheets) {
        QAction* action = menu_->addAction(QStringLiteral("%1を PDF で保存(&%2)...")
                                               .arg(sheetName(sheet), kMenuKeys.at(sheet).second));
        connect(action, &QAction::triggered, this, [this, sheet] { saveAsPdf(sheet); });
        pdfActions_[sheet] = action;
    }
    connect(menu_, &QMenu::aboutToShow, this, &SwissPaper::showAvailable);
    showAvailable();
}

SwissPaper::~SwissPaper() = default;

void SwissPaper::useServices(SaveFileDialogs& files, PrintDialogs& printing, const Clock& clock)
{
    files_ = &files;
    printing_ = &printing;
    clock_ = &clock;
}

QDateTime SwissPaper::now() const
{
    return QDateTime::fromSecsSinceEpoch(clock_->now());
}

void SwissPaper::showAvailable()
{
    for (const SwissSheet sheet : kSwissSheets) {
        const bool available = sheetAvailable(draw_.event(), sheet, shownRound_());
        printActions_[sheet]->setEnabled(available);
        pdfActions_[sheet]->setEnabled(available);
    }
}

QString SwissPaper::suggestedFileName(SwissSheet sheet, int round) const
{
    const QString what = sheet == SwissSheet::Standings
                             ? QStringLiteral("順位表_第%1回戦まで")
                                   .arg(throughCompleteRounds(draw_.event()).rounds.size())
                             : QStringLiteral("第%1回戦_%2").arg(round).arg(sheetName(sheet));
    return QStringLiteral("スイスドロー_%1.pdf").arg(what);
}

void SwissPaper::print(SwissSheet sheet)
{
    const SwissEvent& event = draw_.event();
    const int round = shownRound_();
    if (!sheetAvailable(event, sheet, round))
        return;
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(sheetPageLayout(sheet));
    // The slips' cutting lines are placed on the paper, not within the printer's margins.
    printer.setFullPage(sheet == SwissSheet::ResultSlips);
    printer.setDocName(sheetName(sheet));
    printer.setCreator(QString::fromUtf8(kApplicationTitle));
    if (!printing_->askPrinter(printer, window_))
        return;
    // Printed into a PDF file (where there is no printer), the names stay whole as text there
    // too.
    const bool toPdfFile =
        printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty();
    PdfSearchableText searchable;
    if (!printSwissSheet(printer, draw_.event(), sheet, round, now(),
                         toPdfFile ? &searchable : nullptr)) {
        messageBoxes_.show(
            errorMessage("印刷できませんでした。\r\n" + printer.printerName().toStdString()));
    } else if (toPdfFile) {
        applySearchableText(printer.outputFileName(), searchable);
    }
}

void SwissPaper::saveAsPdf(SwissSheet sheet)
{
    const SwissEvent& event = draw_.event();
    const int round = shownRound_();
    if (!sheetAvailable(event, sheet, round))
        return;
    const QString title = QStringLiteral("%1を PDF で保存").arg(sheetName(sheet));
    const QString suggested =
        QDir(existingFolder(folder_)).filePath(suggestedFileName(sheet, round));
    const QString chosen =
        files_->askSaveFileName(window_, title, suggested, QStringLiteral("PDF (*.pdf)"));
    if (chosen.isEmpty())
        return;
    const QString path = finalSaveName(chosen, QStringLiteral(".pdf"), title, messageBoxes_);
    if (path.isEmpty())
        return;
    folder_ = QFileInfo(path).absolutePath();
    const std::optional<QByteArray> bytes = swissSheetPdf(draw_.event(), sheet, round, now());
    const std::optional<QString> why =
        bytes ? writeWholeFile(path, *bytes)
              : std::optional(QStringLiteral("%1を描けませんでした。").arg(sheetName(sheet)));
    if (why) {
        messageBoxes_.show(errorMessage("ファイルを保存できませんでした。\r\n" +
                                        QDir::toNativeSeparators(path).toStdString() + "\r\n" +
                                        why->toStdString()));
    }
}

} // namespace velka
