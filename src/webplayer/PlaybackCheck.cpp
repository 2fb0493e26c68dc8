#include "webplayer/PlaybackCheck.h"

#include "webplayer/PlayerWebPage.h"

#include <QCoroSignal>
#include <QJsonDocument>
#include <QJsonObject>
#include <QWebEngineProfile>

#include <chrono>
#include <memory>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace velloran {
namespace {

constexpr auto probeScript = R"(<!doctype html><html><head><script>
(async () => {
  const aacType = 'audio/mp4; codecs="mp4a.40.2"';
  const r = {};
  r.aac = document.createElement("audio").canPlayType(aacType);
  r.mse = typeof MediaSource !== "undefined";
  r.mseAac = r.mse && MediaSource.isTypeSupported(aacType);
  r.webAudio = typeof AudioContext !== "undefined";
  try {
    if (!navigator.requestMediaKeySystemAccess) throw new Error("Encrypted Media Extensions are not available");
    await navigator.requestMediaKeySystemAccess("com.widevine.alpha",
      [{ initDataTypes: ["cenc"], audioCapabilities: [{ contentType: aacType }] }]);
    r.widevine = true;
  } catch (e) {
    r.widevine = false;
    r.widevineProblem = String(e && e.message || e);
  }
  document.title = "probe:" + JSON.stringify(r);
})();
</script></head><body></body></html>)";

QString yesNo(bool value)
{
    return value ? u"yes"_s : u"no"_s;
}

QString line(const QString &label, const QString &value)
{
    return u"  "_s + QString(label + u':').leftJustified(32) + value + u'\n';
}

} // namespace

QCoro::Task<std::optional<PlaybackSupport>> probePlaybackSupport()
{
    auto page = std::make_unique<PlayerWebPage>(QWebEngineProfile::defaultProfile());
    page->allowNextLoad();
    page->setHtml(QString::fromUtf8(probeScript), QUrl(u"https://127.0.0.1/"_s));
    for (;;) {
        const std::optional<QString> title = co_await qCoro(page.get(), &QWebEnginePage::titleChanged, 20s);
        if (!title)
            co_return std::nullopt;
        if (!title->startsWith("probe:"_L1))
            continue;
        const QJsonObject r = QJsonDocument::fromJson(title->mid(6).toUtf8()).object();
        PlaybackSupport support;
        support.aac = r.value("aac"_L1).toString();
        support.mediaSource = r.value("mse"_L1).toBool();
        support.mediaSourceAac = r.value("mseAac"_L1).toBool();
        support.widevine = r.value("widevine"_L1).toBool();
        support.widevineProblem = r.value("widevineProblem"_L1).toString();
        support.webAudio = r.value("webAudio"_L1).toBool();
        co_return support;
    }
}

QString playbackReport(const std::optional<PlaybackSupport> &support, const WebEngineSetup &setup)
{
    QString report = u"Velloran playback check\n"_s;
    report += line(u"Widevine library"_s,
                   setup.widevinePath ? *setup.widevinePath
                                      : u"not found (looked for Chrome's, Chromium's and Firefox's copies; "
                                        "VELLORAN_WIDEVINE_PATH names another)"_s);
    if (!support) {
        report += u"  The web engine did not answer the check.\n"_s;
        return report;
    }
    report += line(u"AAC audio"_s, support->aac.isEmpty() ? u"no"_s : u"yes ("_s + support->aac + u')');
    report += line(u"Media Source Extensions"_s,
                   yesNo(support->mediaSource)
                       + (support->mediaSource ? u", AAC "_s + yesNo(support->mediaSourceAac) : QString()));
    report += line(u"Widevine (com.widevine.alpha)"_s,
                   yesNo(support->widevine)
                       + (support->widevine ? QString() : u" ("_s + support->widevineProblem + u')'));
    report += line(u"Web Audio"_s, yesNo(support->webAudio));
    if (support->canPlaySpotify()) {
        report += u"Spotify playback can work here.\n"_s;
    } else if (!support->widevine) {
        report += u"Spotify playback cannot work here: its player needs the Widevine content decryption module. "
                  "Install Google Chrome or Chromium (with its Widevine component), or set VELLORAN_WIDEVINE_PATH "
                  "to a libwidevinecdm.so, then start Velloran again.\n"_s;
    } else {
        report += u"Spotify playback cannot work here: this Qt WebEngine cannot play AAC through Media Source "
                  "Extensions. Install a Qt WebEngine built with proprietary codecs.\n"_s;
    }
    return report;
}

} // namespace velloran
