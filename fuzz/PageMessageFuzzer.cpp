// Messages posted by the hidden player page, which runs third-party script: whatever the
// page sends, what reaches the engine stays within the stated bounds.

#include "FuzzCheck.h"

#include "core/Json.h"
#include "playback/PlayerPageMessage.h"

using namespace velloran;
using velloran::fuzz::require;

namespace {

bool bounded(const std::optional<QString> &text)
{
    return !text || text->size() <= 512;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QJsonValue body;
    try {
        body = parseJson(fuzz::bytesOf(data, size));
    } catch (const DecodeError &) {
        return 0;
    }
    const std::optional<PageMessage> message = parsePageMessage(body, Instant{});
    if (!message)
        return 0;
    if (const auto *state = std::get_if<page_message::State>(&*message)) {
        require(bounded(state->state.trackURI) && bounded(state->state.linkedFromURI), "identifiers are bounded");
        require(state->state.previousURIs.size() <= 1000, "the previous list is bounded");
        for (const QString &uri : state->state.previousURIs)
            require(uri.size() <= 512, "previous URIs are bounded");
    } else if (const auto *ready = std::get_if<page_message::Ready>(&*message)) {
        require(bounded(ready->deviceID), "the device id is bounded");
    } else if (const auto *error = std::get_if<page_message::Error>(&*message)) {
        require(error->message.size() <= 2000, "error messages are bounded");
    }
    return 0;
}
