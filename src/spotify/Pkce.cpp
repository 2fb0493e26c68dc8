#include "spotify/Pkce.h"

#include <QByteArray>
#include <QCryptographicHash>
#include <QRandomGenerator>

#include <array>

namespace velloran {

namespace {

QString base64Url(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes.toBase64(QByteArray::Base64UrlEncoding | QByteArray::OmitTrailingEquals));
}

} // namespace

Pkce Pkce::generate()
{
    std::array<quint32, 16> words{};
    QRandomGenerator::system()->fillRange(words.data(), words.size());
    const QByteArray bytes(reinterpret_cast<const char *>(words.data()), sizeof(words));
    Pkce pkce;
    pkce.verifier = base64Url(bytes);
    pkce.challenge = challengeFor(pkce.verifier);
    return pkce;
}

QString Pkce::challengeFor(const QString &verifier)
{
    return base64Url(QCryptographicHash::hash(verifier.toUtf8(), QCryptographicHash::Sha256));
}

} // namespace velloran
