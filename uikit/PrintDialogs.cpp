#include "uikit/PrintDialogs.h"

#include <QPrintDialog>

namespace velka {

bool QtPrintDialogs::askPrinter(QPrinter& printer, QWidget* parent)
{
    QPrintDialog dialog(&printer, parent);
    return dialog.exec() == QDialog::Accepted;
}

} // namespace velka
