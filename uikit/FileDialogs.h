#pragma once

#include <QString>

class QWidget;

namespace velka {

// Asks where to save a file. Returns the chosen path, or an empty string when the organiser
// cancelled.
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

// Where a file dialog opens: preferred when it is a folder now, else the documents folder, else
// the home folder.
QString existingFolder(const QString& preferred);

} // namespace velka
