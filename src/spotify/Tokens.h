#pragma once

#include "core/Clock.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace velloran {

// What a login yields: the access token sent with every request, the refresh token that
// renews it, and the moment the access token expires.
struct Tokens {
    QString access;
    std::optional<QString> refresh;
    Instant expiry;

    // The stored form: {"access", "refresh" (left out when absent), "expiry" (seconds since
    // 2001-01-01 UTC)}, compact UTF-8 JSON.
    QByteArray toJson() const;
    // None for anything that is not that form.
    static std::optional<Tokens> fromJson(const QByteArray &data);

    bool operator==(const Tokens &) const = default;
};

} // namespace velloran
