#include "app/Shell.h"

#include "board/frmPairvaneMainForm.h"
#include "uikit/WindowPlacement.h"

namespace velka {

Shell::Shell(MessageBoxes& messageBoxes, QObject* parent)
    : QObject(parent)
    , messageBoxes_(messageBoxes) {}

Shell::~Shell() {
    delete mainForm_.data();
}

void Shell::start() {
    frmPairvaneMainForm& form = mainForm();
    centreOnScreen(&form);
    form.show();
}

frmPairvaneMainForm& Shell::mainForm() {
    if (!mainForm_) {
        mainForm_ = new frmPairvaneMainForm(messageBoxes_);
        mainForm_->setAttribute(Qt::WA_DeleteOnClose);
    }
    return *mainForm_;
}

} // namespace velka
