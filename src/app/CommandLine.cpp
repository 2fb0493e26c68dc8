#include "app/CommandLine.h"

#include "spotify/CallbackHandoff.h"

using namespace Qt::StringLiterals;

namespace velloran {

CommandLine CommandLine::parse(const QStringList &arguments)
{
    CommandLine line;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString &argument = arguments[i];
        if (argument == "--demo"_L1) {
            line.demo = true;
        } else if (argument == "--check-playback"_L1) {
            line.checkPlayback = true;
        } else if (argument == "--help"_L1 || argument == "-h"_L1) {
            line.help = true;
        } else if (argument == "--version"_L1 || argument == "-v"_L1) {
            line.version = true;
        } else if (argument.startsWith(u'-')) {
            line.error = u"Unknown option "_s + argument + u"."_s;
        } else {
            const QUrl url(argument, QUrl::StrictMode);
            if (!isCallbackUrl(url)) {
                line.error = u"Not a Velloran link: "_s + argument.left(200);
            } else if (line.callbackUrl) {
                line.error = u"Only one link at a time."_s;
            } else {
                line.callbackUrl = url;
            }
        }
    }
    return line;
}

QString CommandLine::helpText()
{
    return u"Usage: velloran [options] [cobbleden://callback?...]\n"
           "\n"
           "Velloran plays your Spotify library as a record collection.\n"
           "\n"
           "Options:\n"
           "  --demo            Run against a built-in stand-in for Spotify with a generated\n"
           "                    collection, apart from your own account and files.\n"
           "  --check-playback  Report what the playback engine supports (AAC, Media Source\n"
           "                    Extensions, Widevine) and exit.\n"
           "  -h, --help        Show this help and exit.\n"
           "  -v, --version     Show the version and exit.\n"
           "\n"
           "A cobbleden:// link is the answer of Spotify's sign-in page; the desktop passes it\n"
           "on to the running Velloran.\n"
           "\n"
           "Environment:\n"
           "  VELLORAN_CLIENT_ID      the Spotify app's client id\n"
           "  VELLORAN_ACCOUNTS_URL   the accounts service (default: Spotify's)\n"
           "  VELLORAN_API_URL        the Web API (default: Spotify's)\n"
           "  VELLORAN_SDK_URL        the Web Playback SDK script (default: Spotify's)\n"
           "  VELLORAN_WIDEVINE_PATH  a Widevine CDM library or the folder that holds it\n"_s;
}

QString CommandLine::versionText()
{
    return u"Velloran "_s + QStringLiteral(VELLORAN_VERSION) + u'\n';
}

} // namespace velloran
