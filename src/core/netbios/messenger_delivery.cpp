#include "core/netbios/messenger_delivery.h"

#include "core/reception/deliver_message.h"

namespace tavik::netbios {

bool DeliverSessionMessage(const MessengerDelivery& delivery, std::string_view sender, std::string_view recipient,
                           std::string_view text, Confirmation* settled) {
    if (!delivery.sink) return false;
    std::shared_ptr<const Settings> settings = delivery.settings ? delivery.settings() : nullptr;
    if (!settings) settings = std::make_shared<const Settings>();
    const IdentityCodePage unchanged;
    const CodePageConverter& codePage = delivery.codePage ? *delivery.codePage : unchanged;
    return DeliverMessage(sender, recipient, text, *settings, delivery.headingFormat, codePage, *delivery.sink,
                          settled);
}

}  // namespace tavik::netbios
