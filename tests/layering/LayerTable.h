#pragma once

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>

namespace velloran::layering {

// One row of the architecture notes' table of layers: a folder under src/ and the folders
// its code may include from.
struct Layer {
    QString folder;
    QString library;
    QSet<QString> mayUse;
};

// The rows of the markdown table whose first cell is a `src/...` folder. "may use" is a
// comma-separated list of folders under src/, or "—" for none.
QList<Layer> readLayerTable(const QString &markdown);

// An include of one folder's file by another that the table doesn't allow.
struct Violation {
    QString file;     // relative to src/
    QString included; // as written in the include
    bool operator==(const Violation &) const = default;
};

// The folder that owns a file (relative to src/): the longest folder of the table that
// holds it, or an empty string.
QString owningFolder(const QList<Layer> &layers, const QString &file);

// Every include of a file under a folder of the table (by its path under src/) that the
// including file's folder may not use. `sources` maps paths under src/ to file contents.
QList<Violation> findViolations(const QList<Layer> &layers, const QHash<QString, QString> &sources);

// The folders of the table that take part in a cycle of "may use".
QStringList foldersInCycles(const QList<Layer> &layers);

} // namespace velloran::layering
