#pragma once
// Where a Messenger message that came over a session goes: DeliverMessage with the settings
// in effect, the heading text, the code-page converter and the sink of the running program.

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "core/reception/code_page.h"
#include "core/reception/confirmation.h"
#include "core/reception/incoming_message.h"
#include "core/settings/settings.h"

namespace tavik::netbios {

struct MessengerDelivery {
    // The settings in effect, asked at each delivery; empty, or giving nothing: the defaults.
    std::function<std::shared_ptr<const Settings>()> settings{};
    std::shared_ptr<MessageSink> sink;                    // nothing is delivered without one
    std::string headingFormat;                            // empty: kDefaultHeadingFormat
    std::shared_ptr<const CodePageConverter> codePage{};  // empty: bytes unchanged
};

// DeliverMessage with what delivery holds; its result. settled, if given, is set only for a
// message that went to the sink: what its answer waits on.
bool DeliverSessionMessage(const MessengerDelivery& delivery, std::string_view sender, std::string_view recipient,
                           std::string_view text, Confirmation* settled = nullptr);

}  // namespace tavik::netbios
