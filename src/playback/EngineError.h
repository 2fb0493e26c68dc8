#pragma once

#include "core/UserFacingError.h"

namespace velloran {

// Why the web playback engine refused a request.
class EngineError : public UserFacingError {
public:
    enum class Kind { notReady };

    static EngineError notReady() { return EngineError(Kind::notReady, QStringLiteral("The player isn't connected to Spotify yet.")); }

    Kind kind() const { return m_kind; }

private:
    EngineError(Kind kind, QString message)
        : UserFacingError(std::move(message)), m_kind(kind)
    {
    }

    Kind m_kind;
};

} // namespace velloran
