#include "core/reception/confirmation.h"

#include <memory>

namespace tavik {

Confirmation Confirmation::For(IncomingMessage& message) {
    auto promise = std::make_shared<std::promise<void>>();
    Confirmation confirmation;
    confirmation.settled_ = promise->get_future().share();
    // A promise destroyed unset breaks the future, which ends the wait.
    message.onSettled = [promise] {
        try {
            promise->set_value();
        } catch (const std::future_error&) {
            // Settled already: the first one counts.
        }
    };
    return confirmation;
}

bool Confirmation::Wait(std::chrono::milliseconds slice, const std::function<bool()>& stopRequested) {
    if (!settled_) return true;
    while (settled_->wait_for(slice) != std::future_status::ready) {
        if (stopRequested && stopRequested()) return false;
    }
    try {
        settled_->get();
        return true;
    } catch (const std::future_error&) {
        return false;  // dropped without being settled
    }
}

}  // namespace tavik
