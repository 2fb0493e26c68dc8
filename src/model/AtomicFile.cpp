#include "model/AtomicFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QThreadPool>
#include <QtConcurrentRun>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace velloran {

namespace {

bool writeAll(int fd, const QByteArray &data)
{
    const char *next = data.constData();
    qsizetype left = data.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, next, size_t(left));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        next += written;
        left -= written;
    }
    return true;
}

void syncDirectory(const QByteArray &directory)
{
    const int fd = ::open(directory.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

// A folder, a pipe, a socket or a device standing where our file belongs is not ours to
// destroy: it is renamed to "<name>.aside-XXXXXX" so the name is free for a regular file.
bool moveAside(const QByteArray &target)
{
    static constexpr char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    for (int attempt = 0; attempt < 16; ++attempt) {
        QByteArray aside = target + ".aside-";
        for (int i = 0; i < 6; ++i)
            aside += alphabet[QRandomGenerator::system()->bounded(int(sizeof alphabet - 1))];
        if (::renameat2(AT_FDCWD, target.constData(), AT_FDCWD, aside.constData(), RENAME_NOREPLACE) == 0)
            return true;
        if (errno != EEXIST)
            return false;
    }
    return false;
}

} // namespace

bool writeFileAtomically(const QString &path, const QByteArray &data)
{
    // The new content goes into a temporary file of our own beside the target, which is then
    // renamed over the name. Renaming replaces whatever entry holds the name (a link, a
    // dangling link, a read-only file) instead of writing through it, as opening the name
    // would: a link planted in the folder can never make the program write elsewhere.
    const QByteArray target = QFile::encodeName(path);
    QByteArray pattern = target + ".XXXXXX";
    const int fd = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (fd < 0)
        return false;
    // mkostemp honours the umask; the files hold the user's library, so they are private.
    const bool written = ::fchmod(fd, S_IRUSR | S_IWUSR) == 0 && writeAll(fd, data) && ::fsync(fd) == 0;
    if (::close(fd) != 0 || !written) {
        ::unlink(pattern.constData());
        return false;
    }

    struct stat existing {};
    if (::lstat(target.constData(), &existing) == 0 && !S_ISREG(existing.st_mode) && !S_ISLNK(existing.st_mode))
        moveAside(target);
    if (::rename(pattern.constData(), target.constData()) != 0) {
        ::unlink(pattern.constData());
        return false;
    }
    syncDirectory(QFile::encodeName(QFileInfo(path).absolutePath()));
    return true;
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
    // A write in progress lives in "<name>.XXXXXX" until it is renamed over the name. Only
    // regular files are removed: nothing else can be one of ours.
    const QRegularExpression temporary(u"\\A(?:"_s + fileNames.pattern() + u")\\.[A-Za-z0-9]{6}\\z"_s);
    QDir dir(directory);
    const QStringList names = dir.entryList(QDir::Files | QDir::Hidden | QDir::System | QDir::NoSymLinks);
    for (const QString &name : names) {
        if (!temporary.match(name).hasMatch())
            continue;
        struct stat info {};
        if (::lstat(QFile::encodeName(dir.filePath(name)).constData(), &info) == 0 && S_ISREG(info.st_mode))
            dir.remove(name);
    }
}

} // namespace velloran
