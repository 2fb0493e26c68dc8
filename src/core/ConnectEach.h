#pragma once

#include <QObject>

namespace velloran {

// Connects each of the sender's signals to one slot of the receiver. A view names, in one
// list, every change of a model that makes it look again.
template <typename Sender, typename Receiver, typename Slot, typename... Signals>
void connectEach(const Sender *sender, const Receiver *receiver, Slot slot, Signals... signals)
{
    (QObject::connect(sender, signals, receiver, slot), ...);
}

} // namespace velloran
