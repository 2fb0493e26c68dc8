#include "model/AtomicFile.h"

#include <QDir>
#include <QRegularExpression>
#include <QSaveFile>
#include <QThreadPool>
#include <QtConcurrentRun>

using namespace Qt::StringLiterals;

namespace velloran {

bool writeFileAtomically(const QString &path, const QByteArray &data)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    // A new file would get the umask's rights, an old one keeps its own: the files hold the
    // user's library, so they are always made private.
    if (!file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner)) {
        file.cancelWriting();
        return false;
    }
    if (file.write(data) != data.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

QThreadPool &fileWriterPool()
{
    // One thread, so writes run in the order they were started. Being a static, the pool
    // waits for the writes in flight when the program ends.
    struct WriterPool {
        QThreadPool pool;
        WriterPool() { pool.setMaxThreadCount(1); }
    };
    static WriterPool writer;
    return writer.pool;
}

QFuture<bool> writeFileInBackground(QString path, std::function<std::optional<QByteArray>()> encode)
{
    return QtConcurrent::run(&fileWriterPool(), [path = std::move(path), encode = std::move(encode)] {
        const std::optional<QByteArray> data = encode();
        return data && writeFileAtomically(path, *data);
    });
}

QFuture<bool> writeFileInBackground(QString path, QByteArray data)
{
    return QtConcurrent::run(&fileWriterPool(), [path = std::move(path), data = std::move(data)] {
        return writeFileAtomically(path, data);
    });
}

void removeLeftoverTemporaryFiles(const QString &directory, const QString &fileName)
{
    removeLeftoverTemporaryFiles(directory, QRegularExpression(QRegularExpression::escape(fileName)));
}

void removeLeftoverTemporaryFiles(const QString &directory, const QRegularExpression &fileNames)
{
    // QSaveFile writes into "<name>.XXXXXX" where the file system cannot make an unnamed file.
    const QRegularExpression temporary(u"\\A(?:"_s + fileNames.pattern() + u")\\.[A-Za-z0-9]{6}\\z"_s);
    QDir dir(directory);
    const QStringList names = dir.entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &name : names)
        if (temporary.match(name).hasMatch())
            dir.remove(name);
}

} // namespace velloran
