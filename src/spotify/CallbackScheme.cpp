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

} // namespace

std::optional<QString> desktopExecArgument(const QString &argument)
{
    static const QString reserved = u" \t\n\"'\\><~|&;$*?#()`"_s;
    if (argument.isEmpty())
        return std::nullopt;
    bool needsQuotes = false;
    for (const QChar c : argument) {
        // A control character cannot be written into a desktop entry's line at all.
        if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            return std::nullopt;
        needsQuotes = needsQuotes || reserved.contains(c);
    }
    QString written;
    for (const QChar c : argument) {
        if (needsQuotes && (c == u'"' || c == u'`' || c == u'$' || c == u'\\'))
            written += u'\\';
        written += c;
    }
    // A literal percent sign is written twice, or it would start a field code.
    written.replace(u'%', u"%%"_s);
    if (needsQuotes)
        written = u'"' + written + u'"';
    // The value is a string value too, in which a backslash is itself escaped.
    written.replace(u"\\"_s, u"\\\\"_s);
    return written;
}

std::optional<QByteArray> callbackDesktopEntry(const QString &executable)
{
    const std::optional<QString> command = desktopExecArgument(executable);
    if (!command)
        return std::nullopt;
    QString entry = u"[Desktop Entry]\n"
                    u"Type=Application\n"
                    u"Name=Velloran (build folder)\n"
                    u"Exec="_s + *command + u" %u\n"
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

    const std::optional<QByteArray> entry = callbackDesktopEntry(QCoreApplication::applicationFilePath());
    if (!entry)
        return false;
    const QString applications = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + u"/applications"_s;
    if (!QDir().mkpath(applications))
        return false;
    QSaveFile file(applications + u'/' + desktopFileName);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(*entry);
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
