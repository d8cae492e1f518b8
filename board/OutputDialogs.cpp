#include "board/OutputDialogs.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QPrintDialog>

namespace velka {

QString QtSaveFileDialogs::askSaveFileName(QWidget* parent, const QString& title,
                                           const QString& suggestedPath, const QString& filter)
{
    const QFileInfo suggested(suggestedPath);
    QFileDialog dialog(parent, title, suggested.absolutePath(), filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    // A name typed without its suffix gets it before the dialog asks whether to replace a file.
    dialog.setDefaultSuffix(suggested.suffix());
    dialog.selectFile(suggested.fileName());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

bool QtPrintDialogs::askPrinter(QPrinter& printer, QWidget* parent)
{
    QPrintDialog dialog(&printer, parent);
    return dialog.exec() == QDialog::Accepted;
}

} // namespace velka
