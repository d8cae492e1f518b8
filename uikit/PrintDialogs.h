#pragma once

class QPrinter;
class QWidget;

namespace velka {

// Lets the organiser choose a printer and its settings. Returns false when cancelled.
class PrintDialogs {
public:
    virtual ~PrintDialogs() = default;
    virtual bool askPrinter(QPrinter& printer, QWidget* parent) = 0;
};

// The toolkit's own dialog.
class QtPrintDialogs final : public PrintDialogs {
public:
    bool askPrinter(QPrinter& printer, QWidget* parent) override;
};

} // namespace velka
