#include "model/SupportDirectory.h"

#include <QDir>
#include <QStandardPaths>

#include <sys/stat.h>

using namespace Qt::StringLiterals;

namespace velloran {

QString supportDirectory()
{
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (data.isEmpty())
        qFatal("The system reports no folder for application data.");
    const QString path = data + u"/Velloran"_s;
    QDir().mkpath(path);
    // mkpath honours the umask; the folder holds the user's library, so it is made private
    // even when it already existed with wider rights.
    ::chmod(QFile::encodeName(path).constData(), S_IRWXU);
    return path;
}

QString supportPath(const QString &name)
{
    return supportDirectory() + u'/' + name;
}

} // namespace velloran
