#include "spotify/AuthError.h"

using namespace Qt::StringLiterals;

namespace velloran {

AuthError AuthError::tokenEndpoint(const QString &body)
{
    return {Kind::tokenEndpoint, u"Token request failed: "_s + body};
}

AuthError AuthError::noCode()
{
    return {Kind::noCode, u"Spotify didn't return an authorization code."_s};
}

AuthError AuthError::notLoggedIn()
{
    return {Kind::notLoggedIn, u"Log in to Spotify first."_s};
}

AuthError AuthError::sessionExpired()
{
    return {Kind::sessionExpired, u"Spotify ended the session. Connect your account again."_s};
}

AuthError AuthError::notOnTestList()
{
    return {Kind::notOnTestList,
            u"This Spotify account isn't on Velloran's tester list yet. Ask whoever shared the app to add the email of your Spotify account."_s};
}

AuthError AuthError::needsPremium()
{
    return {Kind::needsPremium, u"Velloran plays music through Spotify, which needs a Premium account."_s};
}

LoginCancelled::LoginCancelled()
    : UserFacingError(u"The login was cancelled."_s)
{
}

} // namespace velloran
