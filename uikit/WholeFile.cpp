#include "uikit/WholeFile.h"

#include <QSaveFile>

namespace velka {

std::optional<QString> writeWholeFile(const QString& path, const QByteArray& bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    // Bytes that fit the device's buffer reach the disk only when it is flushed, and a flush
    // that fails inside commit() goes unnoticed there (Qt 6.4): the short file would replace
    // the old one. So flush first, and give up when that fails.
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        const QString why = file.errorString();
        file.cancelWriting();
        return why;
    }
    if (!file.commit())
        return file.errorString();
    return std::nullopt;
}

} // namespace velka
