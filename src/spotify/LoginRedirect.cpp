#include "spotify/LoginRedirect.h"

#include "spotify/SpotifyConfig.h"

#include <QByteArray>
#include <QRandomGenerator>
#include <QUrlQuery>

#include <array>

using namespace Qt::StringLiterals;

namespace velloran {

QString newLoginState()
{
    std::array<quint32, 8> words{};
    QRandomGenerator::system()->fillRange(words.data(), words.size());
    const QByteArray bytes(reinterpret_cast<const char *>(words.data()), sizeof(words));
    return QString::fromLatin1(bytes.toBase64(QByteArray::Base64UrlEncoding | QByteArray::OmitTrailingEquals));
}

std::optional<LoginRedirect> readLoginRedirect(const QUrl &url, const QString &state)
{
    if (state.isEmpty() || !url.isValid())
        return std::nullopt;
    if (url.scheme().compare(SpotifyConfig::callbackScheme(), Qt::CaseInsensitive) != 0)
        return std::nullopt;
    if (url.host().compare("callback"_L1, Qt::CaseInsensitive) != 0 || !url.userInfo().isEmpty() || url.port() != -1)
        return std::nullopt;
    if (const QString path = url.path(); !path.isEmpty() && path != "/"_L1)
        return std::nullopt;
    const QUrlQuery query(url.query(QUrl::FullyEncoded));
    if (!query.hasQueryItem(u"state"_s) || query.queryItemValue(u"state"_s, QUrl::FullyDecoded) != state)
        return std::nullopt;
    return LoginRedirect{query.queryItemValue(u"code"_s, QUrl::FullyDecoded)};
}

} // namespace velloran
