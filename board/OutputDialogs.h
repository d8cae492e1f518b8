#pragma once

#include <QString>

class QPrinter;
class QWidget;

namespace velka {

class MessageBoxes;

// Asks where to save a file. Returns the chosen path exactly as the dialog confirmed it (a name
// typed without its ending comes back without it: finalSaveName adds it), or an empty string
// when the organiser cancelled.
class SaveFileDialogs {
public:
    virtual ~SaveFileDialogs() = default;
    virtual QString askSaveFileName(QWidget* parent, const QString& title,
                                    const QString& suggestedPath, const QString& filter) = 0;
};

// Asks which file to open. Returns the chosen path, or an empty string when the organiser
// cancelled.
class OpenFileDialogs {
public:
    virtual ~OpenFileDialogs() = default;
    virtual QString askOpenFileName(QWidget* parent, const QString& title, const QString& folder,
                                    const QString& filter) = 0;
};

// Lets the organiser choose a printer and its settings. Returns false when cancelled.
class PrintDialogs {
public:
    virtual ~PrintDialogs() = default;
    virtual bool askPrinter(QPrinter& printer, QWidget* parent) = 0;
};

// The toolkit's own dialogs.
class QtSaveFileDialogs final : public SaveFileDialogs {
public:
    QString askSaveFileName(QWidget* parent, const QString& title, const QString& suggestedPath,
                            const QString& filter) override;
};

class QtOpenFileDialogs final : public OpenFileDialogs {
public:
    QString askOpenFileName(QWidget* parent, const QString& title, const QString& folder,
                            const QString& filter) override;
};

class QtPrintDialogs final : public PrintDialogs {
public:
    bool askPrinter(QPrinter& printer, QWidget* parent) override;
};

// The name a file is saved under: chosen, with suffix (".velka") added unless it ends in it
// already, in any case. The dialog asked before replacing chosen only: when the suffix was added
// and a file of that name exists, asks here whether to replace it, titled title. Empty when the
// organiser answers No.
QString finalSaveName(const QString& chosen, const QString& suffix, const QString& title,
                      MessageBoxes& boxes);

// Where a file dialog opens: preferred when it is a folder now, else the documents folder, else
// the home folder.
QString existingFolder(const QString& preferred);

} // namespace velka
