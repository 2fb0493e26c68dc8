#include "webplayer/WebEngineSetup.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QVersionNumber>

using namespace Qt::StringLiterals;

namespace velloran {
namespace {

const QString libraryName = u"libwidevinecdm.so"_s;
const QString platformPart = u"_platform_specific/linux_x64/libwidevinecdm.so"_s;

std::optional<QString> existingFile(const QString &path)
{
    const QFileInfo info(path);
    if (info.isFile() && info.isReadable())
        return info.absoluteFilePath();
    return std::nullopt;
}

// The library inside the highest-numbered version folder below `parent`.
std::optional<QString> newestVersion(const QString &parent, const QString &inside)
{
    const QDir dir(parent);
    std::optional<QString> best;
    QVersionNumber bestVersion;
    for (const QString &entry : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QVersionNumber version = QVersionNumber::fromString(entry);
        if (version.isNull())
            continue;
        if (const auto file = existingFile(dir.filePath(entry) + u'/' + inside); file && (!best || version > bestVersion)) {
            best = file;
            bestVersion = version;
        }
    }
    return best;
}

std::optional<QString> inFirefoxProfiles(const QString &profilesFolder)
{
    const QDir dir(profilesFolder);
    for (const QString &profile : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
        if (const auto file = newestVersion(dir.filePath(profile) + u"/gmp-widevinecdm"_s, libraryName))
            return file;
    }
    return std::nullopt;
}

} // namespace

WidevineSearch systemWidevineSearch()
{
    return {qEnvironmentVariable("VELLORAN_WIDEVINE_PATH"), QDir::homePath(), u"/"_s};
}

std::optional<QString> findWidevine(const WidevineSearch &search)
{
    if (!search.overridePath.isEmpty()) {
        const QFileInfo info(search.overridePath);
        if (info.isDir()) {
            for (const QString &inside : {libraryName, platformPart}) {
                if (const auto file = existingFile(QDir(search.overridePath).filePath(inside)))
                    return file;
            }
        } else if (const auto file = existingFile(search.overridePath)) {
            return file;
        }
    }
    const QString root = QDir(search.root).absolutePath();
    const auto system = [&root](const QString &path) { return QDir::cleanPath(root + u'/' + path); };
    const QString home = search.home;

    for (const QString &chrome : {u"opt/google/chrome"_s, u"opt/google/chrome-beta"_s, u"opt/google/chrome-unstable"_s}) {
        for (const QString &inside : QStringList{u"WidevineCdm/"_s + platformPart, libraryName}) {
            if (const auto file = existingFile(system(chrome + u'/' + inside)))
                return file;
        }
    }
    if (!home.isEmpty()) {
        if (const auto file = newestVersion(home + u"/.config/google-chrome/WidevineCdm"_s, platformPart))
            return file;
    }
    for (const QString &chromium : {u"usr/lib/chromium"_s, u"usr/lib64/chromium"_s, u"usr/lib/chromium-browser"_s}) {
        for (const QString &inside : QStringList{u"WidevineCdm/"_s + platformPart, libraryName}) {
            if (const auto file = existingFile(system(chromium + u'/' + inside)))
                return file;
        }
    }
    if (!home.isEmpty()) {
        if (const auto file = newestVersion(home + u"/.config/chromium/WidevineCdm"_s, platformPart))
            return file;
        for (const QString &profiles : {u"/.mozilla/firefox"_s, u"/snap/firefox/common/.mozilla/firefox"_s,
                                        u"/.var/app/org.mozilla.firefox/.mozilla/firefox"_s}) {
            if (const auto file = inFirefoxProfiles(home + profiles))
                return file;
        }
    }
    return std::nullopt;
}

QStringList playerChromiumFlags(const std::optional<QString> &widevinePath)
{
    QStringList flags{u"--disable-features=HardwareMediaKeyHandling"_s};
    if (widevinePath)
        flags.append(u"--widevine-path="_s + *widevinePath);
    return flags;
}

WebEngineSetup prepareWebEngine()
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);

    WebEngineSetup setup;
    setup.widevinePath = findWidevine(systemWidevineSearch());

    QStringList flags = qEnvironmentVariable("QTWEBENGINE_CHROMIUM_FLAGS").split(u' ', Qt::SkipEmptyParts);
    for (const QString &flag : playerChromiumFlags(setup.widevinePath)) {
        if (!flags.contains(flag))
            flags.append(flag);
    }
    setup.chromiumFlags = flags.join(u' ');
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", setup.chromiumFlags.toLocal8Bit());

    // The page can be examined with a browser's inspector only when asked for, and only
    // from this machine.
    bool portOk = false;
    const int port = qEnvironmentVariableIntValue("VELLORAN_INSPECT", &portOk);
    if (portOk && port > 0 && port < 65536) {
        setup.inspectorAddress = u"127.0.0.1:"_s + QString::number(port);
        qputenv("QTWEBENGINE_REMOTE_DEBUGGING", setup.inspectorAddress->toLatin1());
    }
    return setup;
}

} // namespace velloran
