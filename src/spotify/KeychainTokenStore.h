#pragma once

#include "spotify/TokenStore.h"

#include <QString>

namespace velloran {

// The tokens as one item of the desktop keyring (Secret Service, through QtKeychain):
// service "app.velloran.spotify", key "tokens". There is deliberately no fallback to a
// plain file: without a keyring nothing is stored.
class KeychainTokenStore final : public TokenStore {
public:
    KeychainTokenStore();
    // Another item, for tests that must not touch the program's own.
    KeychainTokenStore(QString service, QString key);

    QCoro::Task<std::optional<QByteArray>> load() override;
    QCoro::Task<> save(QByteArray data) override;
    QCoro::Task<> remove() override;

private:
    QString m_service;
    QString m_key;
};

} // namespace velloran
