#pragma once
// What a listener that answers its sender (the TCP byte count, the Messenger answer) waits on:
// the store settling the message it handed on. So a sender is answered only for what is on
// disk, and a listener cannot run ahead of the disk.

#include <chrono>
#include <functional>
#include <future>
#include <optional>

#include "core/reception/incoming_message.h"

namespace tavik {

class Confirmation {
public:
    // Nothing to wait for: a message refused before it reached the store is answered at once.
    Confirmation() = default;

    // Gives message an onSettled that ends the wait; a message dropped unsettled (every copy of
    // it gone) ends it too, as not settled.
    static Confirmation For(IncomingMessage& message);

    // True once the message is settled (or there was nothing to wait for); false when it was
    // dropped unsettled or stopRequested turned true first. stopRequested is asked every slice.
    bool Wait(std::chrono::milliseconds slice, const std::function<bool()>& stopRequested);

private:
    std::optional<std::shared_future<void>> settled_;
};

}  // namespace tavik
