#pragma once

// This process and the processes below it (Qt WebEngine's), read from /proc.

#include <QDir>
#include <QFile>
#include <QList>
#include <QString>

#include <unistd.h>

namespace velloran::bench {

// The fields of /proc/<pid>/stat after the command's closing parenthesis, from the state on.
inline QList<QByteArray> statFields(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return {};
    const QByteArray line = stat.readAll();
    return line.mid(line.lastIndexOf(')') + 2).split(' ');
}

inline qint64 parentOf(qint64 pid)
{
    return statFields(pid).value(1).toLongLong();
}

// This process first, then every process whose line of parents leads to it.
inline QList<qint64> processTree()
{
    const qint64 self = getpid();
    QList<qint64> tree{self};
    for (const QString &entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        bool ok = false;
        const qint64 pid = entry.toLongLong(&ok);
        if (!ok || pid == self)
            continue;
        for (qint64 p = parentOf(pid); p > 1; p = parentOf(p)) {
            if (p == self) {
                tree.append(pid);
                break;
            }
        }
    }
    return tree;
}

// The processor time a process has used, user and system, in clock ticks.
inline qint64 cpuTicks(qint64 pid)
{
    const QList<QByteArray> fields = statFields(pid);
    return fields.value(11).toLongLong() + fields.value(12).toLongLong();
}

} // namespace velloran::bench
