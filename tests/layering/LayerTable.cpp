#include "LayerTable.h"

#include <QRegularExpression>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace velloran::layering {

namespace {

QString unquoted(QString cell)
{
    cell = cell.trimmed();
    cell.remove(u'`');
    return cell.trimmed();
}

} // namespace

QList<Layer> readLayerTable(const QString &markdown)
{
    QList<Layer> layers;
    for (const QString &line : markdown.split(u'\n')) {
        const QString row = line.trimmed();
        if (!row.startsWith(u'|'))
            continue;
        QStringList cells = row.split(u'|');
        if (cells.size() < 5)
            continue;
        cells = cells.mid(1, cells.size() - 2);
        const QString folder = unquoted(cells[0]);
        if (!folder.startsWith(u"src/"_s))
            continue;
        Layer layer{folder.mid(4), unquoted(cells[1]), {}};
        for (const QString &used : cells[2].split(u',')) {
            const QString name = unquoted(used);
            if (!name.isEmpty() && name != u"—"_s && name != u"-"_s)
                layer.mayUse.insert(name);
        }
        layers.append(layer);
    }
    return layers;
}

QString owningFolder(const QList<Layer> &layers, const QString &file)
{
    QString owner;
    for (const Layer &layer : layers)
        if (file.startsWith(layer.folder + u'/') && layer.folder.size() > owner.size())
            owner = layer.folder;
    return owner;
}

QList<Violation> findViolations(const QList<Layer> &layers, const QHash<QString, QString> &sources)
{
    static const QRegularExpression include(uR"re(^\s*#\s*include\s*"([^"]+)")re"_s,
                                            QRegularExpression::MultilineOption);
    QHash<QString, const Layer *> byFolder;
    for (const Layer &layer : layers)
        byFolder.insert(layer.folder, &layer);

    QList<Violation> violations;
    QStringList files = sources.keys();
    std::sort(files.begin(), files.end());
    for (const QString &file : files) {
        const QString owner = owningFolder(layers, file);
        auto it = include.globalMatch(sources.value(file));
        while (it.hasNext()) {
            const QString included = it.next().captured(1);
            const QString target = owningFolder(layers, included);
            // Includes beside the file ("Part.h") and of anything outside the table are
            // not layer edges.
            if (target.isEmpty() || target == owner)
                continue;
            if (owner.isEmpty() || !byFolder.value(owner)->mayUse.contains(target))
                violations.append({file, included});
        }
    }
    return violations;
}

QStringList foldersInCycles(const QList<Layer> &layers)
{
    QHash<QString, QSet<QString>> edges;
    for (const Layer &layer : layers)
        edges.insert(layer.folder, layer.mayUse);
    QStringList inCycles;
    for (const Layer &start : layers) {
        // Can the folder reach itself?
        QSet<QString> seen;
        QList<QString> frontier(start.mayUse.cbegin(), start.mayUse.cend());
        while (!frontier.isEmpty()) {
            const QString next = frontier.takeLast();
            if (next == start.folder) {
                inCycles.append(start.folder);
                break;
            }
            if (seen.contains(next))
                continue;
            seen.insert(next);
            for (const QString &used : edges.value(next))
                frontier.append(used);
        }
    }
    return inCycles;
}

} // namespace velloran::layering
