#pragma once

#include <QByteArray>
#include <QCoroTask>

#include <optional>

namespace velloran {

// Where the stored form of the tokens lives between runs. Failures are silent by design:
// a failed save leaves the login valid for this run only, a failed load starts logged out.
class TokenStore {
public:
    virtual ~TokenStore() = default;

    // The stored data, or none when there is none or it cannot be read.
    virtual QCoro::Task<std::optional<QByteArray>> load() = 0;
    // Replaces whatever is stored.
    virtual QCoro::Task<> save(QByteArray data) = 0;
    virtual QCoro::Task<> remove() = 0;
};

// A store that lives as long as the object, for tests and for runs that must not touch
// the keyring.
class MemoryTokenStore final : public TokenStore {
public:
    QCoro::Task<std::optional<QByteArray>> load() override { co_return std::optional<QByteArray>(m_data); }
    QCoro::Task<> save(QByteArray data) override
    {
        m_data = std::move(data);
        co_return;
    }
    QCoro::Task<> remove() override
    {
        m_data.reset();
        co_return;
    }

    const std::optional<QByteArray> &data() const { return m_data; }
    void setData(std::optional<QByteArray> data) { m_data = std::move(data); }

private:
    std::optional<QByteArray> m_data;
};

} // namespace velloran
