#include "spotify/APIError.h"

using namespace Qt::StringLiterals;

namespace velloran {

APIError APIError::http(int status, const QByteArray &body)
{
    return {Kind::http, u"Spotify returned "_s + QString::number(status) + u": "_s + QString::fromUtf8(body), status, body};
}

APIError APIError::playlistNotReadable()
{
    return {Kind::playlistNotReadable, u"Spotify only lets this app read playlists you own or collaborate on."_s, 403, {}};
}

} // namespace velloran
