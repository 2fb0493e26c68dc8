#pragma once

#include <QEvent>
#include <QJsonValue>
#include <QObject>

#include <functional>

namespace velloran {

// The one object the player page sees through the web channel, under the name "player".
// It offers postMessage and what every QObject shows the channel; script in the page cannot
// reach the engine itself, and cannot delete the bridge with deleteLater either.
class PlayerPageBridge : public QObject {
    Q_OBJECT

public:
    explicit PlayerPageBridge(std::function<void(const QJsonValue &)> receive, QObject *parent = nullptr)
        : QObject(parent), m_receive(std::move(receive))
    {
    }

protected:
    bool event(QEvent *event) override
    {
        // Only the engine, its owner, ends the bridge, and never through a deferred delete.
        if (event->type() == QEvent::DeferredDelete)
            return true;
        return QObject::event(event);
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
