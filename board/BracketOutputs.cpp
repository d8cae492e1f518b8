#include "board/BracketOutputs.h"

#include "board/BracketExport.h"
#include "board/BracketProjectorView.h"
#include "bracket/BracketBoard.h"
#include "core/Clock.h"
#include "core/Message.h"
#include "uikit/FileDialogs.h"
#include "uikit/MenuKey.h"
#include "uikit/PdfSearchableText.h"
#include "uikit/PrintDialogs.h"
#include "uikit/WholeFile.h"
#include "uikit/WindowAction.h"

#include <QAction>
#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QMenu>
#include <QPrinter>

namespace velka {

namespace {
// Why an output failed when the renderer gave nothing, or nothing whole.
const char* const kNotPainted = "トーナメント表を描けませんでした。";
} // namespace

BracketOutputs::BracketOutputs(BracketBoard& board, MessageBoxes& messageBoxes, QWidget* window,
                               QWidget* boardWidget)
    : board_(board)
    , messageBoxes_(messageBoxes)
    , window_(window)
    , boardWidget_(boardWidget)
    , ownFiles_(std::make_unique<QtSaveFileDialogs>())
    , ownPrinting_(std::make_unique<QtPrintDialogs>())
    , ownClock_(std::make_unique<SystemClock>())
    , files_(ownFiles_.get())
    , printing_(ownPrinting_.get())
    , clock_(ownClock_.get())
    , projectorController_(new ProjectorController(
          window, QStringLiteral("プロジェクターに表示(&P)"),
          [this](QWidget* parent) { return new BracketProjectorView(board_, parent); }))
{
    const auto action = [this](const char* name, const QString& text, const QKeySequence& keys,
                               auto run) {
        return addWindowAction(window_, this, name, text, keys, run);
    };
    projectorAction_ = projectorController_->toggleAction();
    projectorAction_->setObjectName(QStringLiteral("actProjector"));
    printAction_ = action("actPrint", QStringLiteral("印刷(&R)..."), QKeySequence::Print,
                          &BracketOutputs::print);
    savePdfAction_ = action("actSavePdf", QStringLiteral("PDFとして保存(&D)..."), {},
                            &BracketOutputs::saveAsPdf);
    savePictureAction_ = action("actSavePicture", QStringLiteral("画像として保存(&I)..."), {},
                                &BracketOutputs::saveAsPicture);
    copyAction_ = action("actCopyPicture", QStringLiteral("画像をコピー(&C)"), QKeySequence::Copy,
                         &BracketOutputs::copyPicture);

    menuKeyAction_ = addMenuKey(window_, this, [this] { showMenu(); });
}

BracketOutputs::~BracketOutputs()
{
    // The view watches the board, which goes with the window: it must not outlive either.
    delete projectorController_;
}

void BracketOutputs::useServices(SaveFileDialogs& files, PrintDialogs& printing, const Clock& clock)
{
    files_ = &files;
    printing_ = &printing;
    clock_ = &clock;
}

QDateTime BracketOutputs::now() const
{
    return QDateTime::fromSecsSinceEpoch(clock_->now());
}

QMenu* BracketOutputs::createMenu(QWidget* parent)
{
    auto* menu = new QMenu(parent);
    menu->setObjectName(QStringLiteral("BracketMenu"));
    menu->addAction(projectorAction_);
    if (QMenu* screens = projectorController_->addScreenMenu(menu))
        screens->setObjectName(QStringLiteral("BracketScreenMenu"));
    if (QAction* corner = projectorController_->addressCornerAction())
        menu->addAction(corner);
    menu->addSeparator();
    menu->addAction(printAction_);
    menu->addAction(savePdfAction_);
    menu->addAction(savePictureAction_);
    menu->addSeparator();
    menu->addAction(copyAction_);
    for (const auto& fill : menuSections_) {
        menu->addSeparator();
        fill(menu);
    }
    if (playersPageAction_) {
        menu->addSeparator();
        menu->addAction(playersPageAction_);
    }
    return menu;
}

void BracketOutputs::offerPlayersPage(const PublishedAddress& page)
{
    projectorController_->offerAddressCorner(page);
    projectorController_->addressCornerAction()->setObjectName(QStringLiteral("actAddressCorner"));
    if (!playersPageAction_) {
        playersPageAction_ = new QAction(QStringLiteral("スマートフォンで見る(&F)..."), this);
        playersPageAction_->setObjectName(QStringLiteral("actPlayersPage"));
        connect(playersPageAction_, &QAction::triggered, this,
                &BracketOutputs::playersPageRequested);
    }
}

void BracketOutputs::showMenu(const QPoint& globalPos)
{
    QMenu* menu = createMenu(window_);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    const QPoint at =
        globalPos.isNull() ? boardWidget_->mapToGlobal(boardWidget_->rect().center()) : globalPos;
    menu->popup(at);
}

void BracketOutputs::toggleProjector()
{
    projectorController_->toggle();
}

void BracketOutputs::openProjector()
{
    projectorController_->open();
}

BracketProjectorView* BracketOutputs::projector() const
{
    return qobject_cast<BracketProjectorView*>(projectorController_->view());
}

void BracketOutputs::print()
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape,
                                      QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter));
    printer.setDocName(QStringLiteral("トーナメント表"));
    printer.setCreator(QString::fromUtf8(kApplicationTitle));
    if (!printing_->askPrinter(printer, window_))
        return;
    // Printed into a PDF file (where there is no printer), the names stay whole as text there
    // too.
    const bool toPdfFile =
        printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty();
    PdfSearchableText searchable;
    if (!printBracketPage(printer, board_, now(), toPdfFile ? &searchable : nullptr)) {
        messageBoxes_.show(
            errorMessage("印刷できませんでした。\r\n" + printer.printerName().toStdString()));
    } else if (toPdfFile) {
        applySearchableText(printer.outputFileName(), searchable);
    }
}

void BracketOutputs::saveAsPdf()
{
    save(QStringLiteral("PDFとして保存"), QStringLiteral("pdf"), QStringLiteral("PDF (*.pdf)"),
         [this](const QDateTime& when) {
             std::optional<QByteArray> bytes = rendering_.pdf(board_, when);
             return bytes && isWholePdf(*bytes) ? bytes : std::nullopt;
         });
}

void BracketOutputs::saveAsPicture()
{
    save(QStringLiteral("画像として保存"), QStringLiteral("png"),
         QStringLiteral("PNG 画像 (*.png)"),
         [this](const QDateTime&) { return pngBytes(rendering_.picture(board_)); });
}

void BracketOutputs::copyPicture()
{
    const QImage picture = rendering_.picture(board_);
    if (picture.isNull()) {
        messageBoxes_.show(
            errorMessage(std::string("画像をコピーできませんでした。\r\n") + kNotPainted));
        return;
    }
    QGuiApplication::clipboard()->setImage(picture);
}

void BracketOutputs::save(
    const QString& title, const QString& suffix, const QString& filter,
    const std::function<std::optional<QByteArray>(const QDateTime&)>& contents)
{
    const QDateTime when = now();
    // The folder of the last file saved, else the documents folder, else home.
    const QString suggested =
        QDir(existingFolder(folder_)).filePath(suggestedFileName(when, suffix));
    const QString chosen = files_->askSaveFileName(window_, title, suggested, filter);
    if (chosen.isEmpty())
        return;
    const QString path = finalSaveName(chosen, QLatin1Char('.') + suffix, title, messageBoxes_);
    if (path.isEmpty())
        return;
    folder_ = QFileInfo(path).absolutePath();
    const std::optional<QByteArray> bytes = contents(when);
    const std::optional<QString> why =
        bytes ? writeWholeFile(path, *bytes) : std::optional(QString::fromUtf8(kNotPainted));
    if (why) {
        messageBoxes_.show(errorMessage("ファイルを保存できませんでした。\r\n" +
                                        QDir::toNativeSeparators(path).toStdString() + "\r\n" +
                                        why->toStdString()));
    }
}

} // namespace velka
