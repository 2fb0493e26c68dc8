#include "playback/PlayerPagePolicy.h"

#include "playback/PlayerPageMessage.h"

#include <QCryptographicHash>
#include <QRegularExpression>

using namespace Qt::StringLiterals;

namespace velloran {

QString originOf(const QUrl &url)
{
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || url.host().isEmpty() || (scheme != "https"_L1 && scheme != "http"_L1))
        return {};
    QString origin = scheme + u"://"_s + url.host(QUrl::FullyEncoded);
    if (url.port() != -1)
        origin += u':' + QString::number(url.port());
    return origin;
}

PlayerPagePolicy PlayerPagePolicy::forSdk(const QString &sdkUrl)
{
    PlayerPagePolicy policy;
    policy.sdkUrl = sdkUrl.isEmpty() ? QString(defaultSdkUrl) : sdkUrl;
    policy.sdkOrigin = originOf(QUrl(policy.sdkUrl, QUrl::StrictMode));
    if (!policy.sdkOrigin.isEmpty())
        policy.frameOrigins.append(policy.sdkOrigin);
    return policy;
}

bool PlayerPagePolicy::allowsFrame(const QUrl &url) const
{
    if (url.scheme() == "about"_L1)
        return url.path() == "blank"_L1 || url.path() == "srcdoc"_L1;
    const QString origin = originOf(url);
    return !origin.isEmpty() && frameOrigins.contains(origin);
}

QString PlayerPagePolicy::contentSecurityPolicy(const QStringList &inlineScripts) const
{
    QStringList scripts;
    for (const QString &script : inlineScripts)
        scripts.append(u"'sha256-"_s
                       + QString::fromLatin1(QCryptographicHash::hash(script.toUtf8(), QCryptographicHash::Sha256).toBase64())
                       + u'\'');
    if (!sdkOrigin.isEmpty())
        scripts.append(sdkOrigin);
    const QString scriptSources = scripts.isEmpty() ? u"'none'"_s : scripts.join(u' ');
    const QString frameSources = frameOrigins.isEmpty() ? u"'none'"_s : frameOrigins.join(u' ');
    const QString workerSources = sdkOrigin.isEmpty() ? u"blob:"_s : sdkOrigin + u" blob:"_s;
    return u"default-src 'none'; script-src "_s + scriptSources + u"; frame-src "_s + frameSources
           + u"; worker-src "_s + workerSources
           + u"; connect-src https: wss: http://127.0.0.1:* ws://127.0.0.1:*; media-src https: blob: data:; "
             u"img-src https: data:; style-src 'unsafe-inline'; object-src 'none'; form-action 'none'; base-uri 'none'"_s;
}

QString playerPageHtml(QString templateHtml, const PlayerPagePolicy &policy)
{
    templateHtml.replace("@SDK_URL@"_L1, jsStringLiteral(policy.sdkUrl));
    static const QRegularExpression inlineScript(u"<script>(.*?)</script>"_s,
                                                 QRegularExpression::DotMatchesEverythingOption);
    QStringList scripts;
    for (auto it = inlineScript.globalMatch(templateHtml); it.hasNext();)
        scripts.append(it.next().captured(1));
    return templateHtml.replace("@CSP@"_L1, policy.contentSecurityPolicy(scripts));
}

} // namespace velloran
