#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace velka {

// Writes the whole of bytes to path or nothing: the file appears (or replaces the earlier one)
// only once everything is written. Returns why it failed, or nothing when it succeeded.
std::optional<QString> writeWholeFile(const QString& path, const QByteArray& bytes);

} // namespace velka
