#pragma once

#include "swiss/SwissCsv.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace velka {

// The largest list file read: far more than 256 names with their readings need, and small
// enough that a file chosen by mistake (a picture, a video) is refused before it is read.
inline constexpr qint64 kMaxPlayerListBytes = 1024 * 1024;

// The text of a list file as its bytes stand: UTF-8 (with or without a byte-order mark), else
// Shift_JIS as Japanese spreadsheets write it. Nothing when it is neither, or holds a NUL
// character (no text file does).
std::optional<QString> decodePlayerList(const QByteArray& bytes);

// The players in a list file: a CSV file (name ending .csv) by its records, name then reading,
// any other file one name a line. A file that cannot be read or decoded gives a refusal that
// names the file and says why, and no players.
PlayerReading readPlayerListFile(const QString& path);

} // namespace velka
