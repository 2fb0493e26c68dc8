// URLs handed to the program as a login's redirect, by the browser or by anything else on
// the desktop. The input is the state the login sent, a line break, then the URL. A URL is
// taken only with the callback's scheme and host and exactly that state.

#include "FuzzCheck.h"

#include "spotify/LoginRedirect.h"

#include <QUrlQuery>

using namespace velloran;
using velloran::fuzz::require;

namespace {

void check(const QUrl &url, const QString &state)
{
    const std::optional<LoginRedirect> redirect = readLoginRedirect(url, state);
    if (!redirect)
        return;
    require(!state.isEmpty(), "a login always has a state");
    require(url.scheme().compare(u"cobbleden", Qt::CaseInsensitive) == 0, "only the callback scheme");
    require(url.host().compare(u"callback", Qt::CaseInsensitive) == 0, "only the callback host");
    const QUrlQuery query(url.query(QUrl::FullyEncoded));
    require(query.queryItemValue(QStringLiteral("state"), QUrl::FullyDecoded) == state, "only the login's state");
    require(redirect->code == query.queryItemValue(QStringLiteral("code"), QUrl::FullyDecoded), "the first code");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = fuzz::bytesOf(data, size);
    const qsizetype lineEnd = bytes.indexOf('\n');
    if (lineEnd < 0)
        return 0;
    const QString state = QString::fromUtf8(bytes.left(lineEnd));
    const QByteArray url = bytes.mid(lineEnd + 1);
    check(QUrl::fromEncoded(url), state);
    check(QUrl(QString::fromUtf8(url)), state);
    return 0;
}
