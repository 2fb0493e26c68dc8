#pragma once

#include <QtGlobal>

#include <optional>
#include <utility>

namespace velloran {

// Keeps the last rendering of a drawing with the inputs it was made from (including the
// device pixel ratio), and renders again only when an input differs.
template <typename Key, typename Value>
class RenderCache {
public:
    template <typename Render>
    const Value &get(const Key &key, qreal devicePixelRatio, Render &&render)
    {
        if (!m_value || !(m_key == key) || m_devicePixelRatio != devicePixelRatio) {
            m_value = std::forward<Render>(render)();
            m_key = key;
            m_devicePixelRatio = devicePixelRatio;
            ++m_renderCount;
        }
        return *m_value;
    }

    // Takes a drawing of these inputs made elsewhere, ahead of time or on another thread.
    void put(const Key &key, qreal devicePixelRatio, Value value)
    {
        m_value = std::move(value);
        m_key = key;
        m_devicePixelRatio = devicePixelRatio;
    }

    // Whether it holds the drawing of these inputs.
    bool holds(const Key &key, qreal devicePixelRatio) const
    {
        return m_value && m_key == key && m_devicePixelRatio == devicePixelRatio;
    }

    // The drawing it holds at this pixel ratio, whatever its inputs, with them: to stand in for
    // one being made elsewhere.
    const Value *held(qreal devicePixelRatio, Key *key = nullptr) const
    {
        if (!m_value || m_devicePixelRatio != devicePixelRatio)
            return nullptr;
        if (key)
            *key = m_key;
        return &*m_value;
    }

    // How often the drawing was really rendered.
    int renderCount() const { return m_renderCount; }

    void clear() { m_value.reset(); }

private:
    std::optional<Value> m_value;
    Key m_key{};
    qreal m_devicePixelRatio = 0;
    int m_renderCount = 0;
};

// For drawings whose only input is the device pixel ratio (and the palette).
struct NoKey {
    bool operator==(const NoKey &) const = default;
};

} // namespace velloran
