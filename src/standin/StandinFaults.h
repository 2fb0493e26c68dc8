#pragma once

#include "standin/StandinHttp.h"

#include <QHash>
#include <QJsonObject>
#include <QList>
#include <QString>

#include <chrono>
#include <deque>
#include <optional>

namespace velloran::standin {

// A scripted misbehaviour of one path. It applies to the next `times` requests of the path
// (every request when `times` is negative); faults queued for one path apply one after the
// other. A fault with no status of its own only delays the normal answer.
struct Fault {
    int status = 0;
    int times = 1;
    std::optional<QByteArray> retryAfter = std::nullopt;   // sent verbatim as the Retry-After header
    std::chrono::milliseconds delay{0};
    std::optional<QByteArray> body = std::nullopt;         // the answer's body, verbatim; JSON error when absent

    // Reads {"status", "times", "retryAfter", "delayMs", "body"}; throws DecodeError.
    static Fault fromJson(const QJsonObject &object);
};

// What a request of a path is to meet: a delay, then either a scripted reply or the route.
struct FaultOutcome {
    std::chrono::milliseconds delay{0};
    std::optional<Reply> reply;
};

// The faults scripted per path and the count of requests every path received.
class FaultBook {
public:
    void add(const QString &path, Fault fault);
    void clear();

    // Counts the request and consumes the fault that applies to it, if any.
    FaultOutcome take(const QString &path);

    int count(const QString &path) const { return m_counts.value(path); }
    const QHash<QString, int> &counts() const { return m_counts; }
    void resetCounts() { m_counts.clear(); }

private:
    QHash<QString, std::deque<Fault>> m_faults;
    QHash<QString, int> m_counts;
};

} // namespace velloran::standin
