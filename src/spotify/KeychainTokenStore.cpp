#include "spotify/KeychainTokenStore.h"

#include <QCoroSignal>
#include <qt6keychain/keychain.h>

#include <memory>

using namespace Qt::StringLiterals;

namespace velloran {

namespace {

template<typename Job>
std::unique_ptr<Job> makeJob(const QString &service, const QString &key)
{
    auto job = std::make_unique<Job>(service);
    job->setAutoDelete(false);
    job->setInsecureFallback(false);
    job->setKey(key);
    return job;
}

// Runs a job to its end. QtKeychain runs jobs one at a time in the order they were
// started, so a save after a remove cannot overtake it.
QCoro::Task<> run(QKeychain::Job *job)
{
    auto finished = qCoro(job, &QKeychain::Job::finished);
    job->start();
    co_await std::move(finished);
}

} // namespace

KeychainTokenStore::KeychainTokenStore()
    : KeychainTokenStore(u"app.velloran.spotify"_s, u"tokens"_s)
{
}

KeychainTokenStore::KeychainTokenStore(QString service, QString key)
    : m_service(std::move(service)), m_key(std::move(key))
{
}

QCoro::Task<std::optional<QByteArray>> KeychainTokenStore::load()
{
    auto job = makeJob<QKeychain::ReadPasswordJob>(m_service, m_key);
    co_await run(job.get());
    if (job->error() != QKeychain::NoError)
        co_return std::nullopt;
    co_return job->binaryData();
}

QCoro::Task<> KeychainTokenStore::save(QByteArray data)
{
    auto job = makeJob<QKeychain::WritePasswordJob>(m_service, m_key);
    job->setBinaryData(data);
    co_await run(job.get());
}

QCoro::Task<> KeychainTokenStore::remove()
{
    auto job = makeJob<QKeychain::DeletePasswordJob>(m_service, m_key);
    co_await run(job.get());
}

} // namespace velloran
