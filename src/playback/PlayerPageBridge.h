#pragma once

#include <QJsonValue>
#include <QObject>

#include <functional>

namespace velloran {

// The one object the player page sees through the web channel, under the name "player".
// It offers nothing but postMessage, so script in the page cannot reach the engine itself.
class PlayerPageBridge : public QObject {
    Q_OBJECT

public:
    explicit PlayerPageBridge(std::function<void(const QJsonValue &)> receive, QObject *parent = nullptr)
        : QObject(parent), m_receive(std::move(receive))
    {
    }

public Q_SLOTS:
    void postMessage(const QJsonValue &body)
    {
        if (m_receive)
            m_receive(body);
    }

private:
    std::function<void(const QJsonValue &)> m_receive;
};

} // namespace velloran
