#include "standin/StandinFaults.h"

#include "core/Json.h"

using namespace Qt::StringLiterals;

namespace velloran::standin {

Fault Fault::fromJson(const QJsonObject &object)
{
    const JsonReader reader(object, {});
    Fault fault;
    fault.status = int(reader.optionalInteger("status"_L1).value_or(0));
    if (fault.status != 0 && (fault.status < 100 || fault.status > 599))
        JsonReader::fail(u"status"_s, u"expected an HTTP status"_s);
    fault.times = int(reader.optionalInteger("times"_L1).value_or(1));
    if (const auto retryAfter = reader.optionalString("retryAfter"_L1))
        fault.retryAfter = retryAfter->toUtf8();
    fault.delay = std::chrono::milliseconds(std::clamp<qint64>(reader.optionalInteger("delayMs"_L1).value_or(0), 0, 600000));
    if (const auto body = reader.optionalString("body"_L1))
        fault.body = body->toUtf8();
    return fault;
}

void FaultBook::add(const QString &path, Fault fault)
{
    if (fault.times == 0)
        return;
    m_faults[path].push_back(std::move(fault));
}

void FaultBook::clear()
{
    m_faults.clear();
}

FaultOutcome FaultBook::take(const QString &path)
{
    ++m_counts[path];
    const auto it = m_faults.find(path);
    if (it == m_faults.end() || it->empty())
        return {};

    Fault fault = it->front();
    if (fault.times > 0 && --it->front().times == 0)
        it->pop_front();
    if (it->empty())
        m_faults.erase(it);

    FaultOutcome outcome;
    outcome.delay = fault.delay;
    if (fault.status == 0)
        return outcome;

    Reply reply = fault.body ? Reply{fault.status, {{"Content-Type", "application/json; charset=utf-8"}}, *fault.body}
                             : Reply::apiError(fault.status, u"Scripted failure"_s);
    if (fault.retryAfter)
        reply.withHeader("Retry-After", *fault.retryAfter);
    outcome.reply = std::move(reply);
    return outcome;
}

} // namespace velloran::standin
