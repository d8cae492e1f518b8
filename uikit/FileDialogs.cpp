#include "uikit/FileDialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QStandardPaths>

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

QString QtOpenFileDialogs::askOpenFileName(QWidget* parent, const QString& title,
                                           const QString& folder, const QString& filter)
{
    QFileDialog dialog(parent, title, folder, filter);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

QString existingFolder(const QString& preferred)
{
    for (const QString& folder :
         {preferred, QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)}) {
        if (!folder.isEmpty() && QFileInfo(folder).isDir())
            return folder;
    }
    return QDir::homePath();
}

} // namespace velka
