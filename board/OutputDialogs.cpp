#include "board/OutputDialogs.h"

#include <QFileDialog>
#include <QPrintDialog>

namespace velka {

QString QtSaveFileDialogs::askSaveFileName(QWidget* parent, const QString& title,
                                           const QString& suggestedPath, const QString& filter)
{
    return QFileDialog::getSaveFileName(parent, title, suggestedPath, filter);
}

bool QtPrintDialogs::askPrinter(QPrinter& printer, QWidget* parent)
{
    QPrintDialog dialog(&printer, parent);
    return dialog.exec() == QDialog::Accepted;
}

} // namespace velka
