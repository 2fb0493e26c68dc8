// Scripting the stand-in from another process (the demo, a shell): faults, the account's
// behaviour and the request counters, all as small JSON documents under /standin/.

#include "standin/StandinRoutes.h"
#include "standin/StandinServer.h"

#include "core/Json.h"

using namespace Qt::StringLiterals;

namespace velloran::standin {

namespace {

template<typename Apply>
Reply withJsonBody(const Request &request, Apply apply)
{
    try {
        const JsonReader reader(parseJson(request.body), {});
        apply(reader);
        return Reply::noContent();
    } catch (const DecodeError &error) {
        return Reply::apiError(400, error.message());
    }
}

} // namespace

void registerControlRoutes(StandinServer &server)
{
    server.addRoute("POST", u"/standin/faults"_s, [&server](const Request &request) {
        return withJsonBody(request, [&server](const JsonReader &reader) {
            const QString path = reader.string("path"_L1);
            server.faults().add(path, Fault::fromJson(reader.object()));
        });
    });
    server.addRoute("DELETE", u"/standin/faults"_s, [&server](const Request &) {
        server.faults().clear();
        return Reply::noContent();
    });
    server.addRoute("GET", u"/standin/requests"_s, [&server](const Request &) {
        QJsonObject counts;
        for (auto it = server.faults().counts().cbegin(); it != server.faults().counts().cend(); ++it)
            counts.insert(it.key(), it.value());
        return Reply::json({{u"counts"_s, counts}});
    });
    server.addRoute("DELETE", u"/standin/requests"_s, [&server](const Request &) {
        server.faults().resetCounts();
        return Reply::noContent();
    });
    server.addRoute("POST", u"/standin/account"_s, [&server](const Request &request) {
        return withJsonBody(request, [&server](const JsonReader &reader) {
            Accounts &accounts = server.accounts();
            if (const auto expiresIn = reader.optionalNumber("expiresIn"_L1))
                accounts.expiresIn = *expiresIn;
            if (const auto rotate = reader.optionalBool("rotateRefreshTokens"_L1))
                accounts.rotateRefreshTokens = *rotate;
            if (const auto deny = reader.optionalBool("denyAuthorization"_L1))
                accounts.denyAuthorization = *deny;
            if (const auto allowed = reader.optionalBool("onAllowList"_L1))
                accounts.onAllowList = *allowed;
            if (reader.object().contains("product"_L1))
                accounts.product = reader.optionalString("product"_L1);
            if (reader.optionalBool("expireAccessTokens"_L1).value_or(false))
                accounts.expireAccessTokens();
            if (reader.optionalBool("revokeRefreshTokens"_L1).value_or(false))
                accounts.revokeRefreshTokens();
        });
    });
}

} // namespace velloran::standin
