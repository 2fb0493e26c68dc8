#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace velloran {

// Reads a whole file of the program's own, or gives nothing. Only a regular file of at most
// `maxBytes` counts: a link (even to a good file) is not followed, and a pipe, a device or a
// folder at the name is not read, so a read can neither block nor grow without end. Callers
// treat nothing as an unreadable file: an empty start, replaced at the next write.
std::optional<QByteArray> readRegularFile(const QString &path, qint64 maxBytes);

} // namespace velloran
