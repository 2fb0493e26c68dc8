#pragma once

#include <QByteArray>
#include <QFuture>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class QRegularExpression;
class QThreadPool;

namespace velloran {

// Replaces the file at `path` with `data` in one step: readers see the old or the new
// complete file, never a part. The file is private to the user (0600) and always a regular
// file of our own: a link at the name is replaced, never followed, a read-only file is
// replaced, and a folder or any other non-regular entry there is renamed aside to
// "<name>.aside-XXXXXX" first. Returns whether the new content is in place.
bool writeFileAtomically(const QString &path, const QByteArray &data);

// Writes a file on the one background thread that does every file write of the program, so
// that writes of one file land in the order they were started and the newest content wins.
// `encode` runs there too; when it gives nothing, nothing is written.
QFuture<bool> writeFileInBackground(QString path, std::function<std::optional<QByteArray>()> encode);
QFuture<bool> writeFileInBackground(QString path, QByteArray data);

// The thread pool of those writes (one thread); waiting for it is how tests and shut-down
// know that every started write has landed.
QThreadPool &fileWriterPool();

// Removes what a write that was killed midway left behind: the temporary files that sit
// beside `fileName` (its name, a dot and six characters) in `directory`.
void removeLeftoverTemporaryFiles(const QString &directory, const QString &fileName);
// The same for every file whose whole name matches `fileNames`.
void removeLeftoverTemporaryFiles(const QString &directory, const QRegularExpression &fileNames);

} // namespace velloran
