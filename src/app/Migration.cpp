#include "app/Migration.h"

#include <QDir>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace velloran {

void Migration::run(QSettings &settings, QSettings *oldSettings, const QString &dataRoot)
{
    if (settings.value(doneKey, false).toBool())
        return;
    settings.setValue(doneKey, true);
    settings.sync();

    if (oldSettings) {
        for (const QString &key : {u"clientID"_s, u"autoFlip"_s}) {
            if (!settings.contains(key) && oldSettings->contains(key))
                settings.setValue(key, oldSettings->value(key));
        }
        settings.sync();
    }

    if (dataRoot.isEmpty())
        return;
    const QDir root(dataRoot);
    const QString from = root.filePath(u"Cobbleden"_s);
    const QString to = root.filePath(u"Velloran"_s);
    if (QFileInfo(from).isDir() && !QFileInfo::exists(to))
        QDir().rename(from, to); // a failed move is left as it is
}

} // namespace velloran
