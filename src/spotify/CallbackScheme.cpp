#include "spotify/CallbackScheme.h"

#include "spotify/SpotifyConfig.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QSaveFile>
#include <QStandardPaths>

using namespace Qt::StringLiterals;

namespace velloran {

namespace {

const auto desktopFileName = "velloran-build.desktop"_L1;

// Quotes an argument of an Exec key as desktop entries require.
QString quotedExecArgument(const QString &argument)
{
    QString quoted;
    for (const QChar c : argument) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
            quoted += u'\\';
        quoted += c;
    }
    // The whole value is a string value too, in which a backslash is itself escaped.
    quoted.replace(u"\\"_s, u"\\\\"_s);
    return u'"' + quoted + u'"';
}

} // namespace

QByteArray callbackDesktopEntry(const QString &executable)
{
    QString entry = u"[Desktop Entry]\n"
                    u"Type=Application\n"
                    u"Name=Velloran (build folder)\n"
                    u"Exec="_s + quotedExecArgument(executable) + u" %u\n"
                    u"Terminal=false\n"
                    u"NoDisplay=true\n"
                    u"MimeType=x-scheme-handler/"_s + SpotifyConfig::callbackScheme() + u";\n"_s;
    return entry.toUtf8();
}

bool runsFromBuildFolder(const QString &applicationDir)
{
    const QDir dir(applicationDir);
    return QFileInfo::exists(dir.filePath(u"CMakeCache.txt"_s)) || QFileInfo::exists(dir.filePath(u"../CMakeCache.txt"_s));
}

bool registerCallbackSchemeForBuildFolder()
{
    static bool registered = false;
    if (registered || !runsFromBuildFolder(QCoreApplication::applicationDirPath()))
        return false;

    const QString applications = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + u"/applications"_s;
    if (!QDir().mkpath(applications))
        return false;
    QSaveFile file(applications + u'/' + desktopFileName);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(callbackDesktopEntry(QCoreApplication::applicationFilePath()));
    if (!file.commit())
        return false;

    // Test runs keep away from the user's own handler settings.
    const QString xdgMime = QStandardPaths::findExecutable(u"xdg-mime"_s);
    if (!xdgMime.isEmpty() && !QStandardPaths::isTestModeEnabled())
        QProcess::startDetached(xdgMime, {u"default"_s, desktopFileName, u"x-scheme-handler/"_s + SpotifyConfig::callbackScheme()});
    registered = true;
    return true;
}

} // namespace velloran
