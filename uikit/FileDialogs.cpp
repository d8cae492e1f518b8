#include "uikit/FileDialogs.h"

#include "core/Message.h"

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
    // No default suffix: a native dialog (GTK, the desktop portal) would add it only after it
    // asked whether to replace the name without it. finalSaveName adds it and asks.
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

QString finalSaveName(const QString& chosen, const QString& suffix, const QString& title,
                      MessageBoxes& boxes)
{
    if (chosen.endsWith(suffix, Qt::CaseInsensitive))
        return chosen;
    QString path = chosen + suffix;
    if (!QFileInfo::exists(path))
        return path;
    const Message question{title.toStdString(),
                           "「" + QFileInfo(path).fileName().toStdString() +
                               "」はすでにあります。\r\n置き換えますか？",
                           MessageIcon::Warning, MessageButtons::YesNo};
    return boxes.show(question) == MessageAnswer::Yes ? path : QString();
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
