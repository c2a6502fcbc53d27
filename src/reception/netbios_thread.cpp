#include "reception/netbios_thread.h"

#include <string>

#include "core/settings/settings_store.h"
#include "reception/ansi_code_page.h"
#include "reception/heading_format.h"
#include "reception/listener_thread.h"
#include "reception/netbios_listener.h"
#include "resource_ids.h"
#include "win/resource_text.h"

namespace tavik::reception {
namespace {

netbios::MessengerDelivery MakeDelivery(const ReceptionContext& context) {
    netbios::MessengerDelivery delivery;
    delivery.settings = [] { return ProcessSettings().Current(); };
    delivery.sink = std::make_shared<QueueMessageSink>(context.queue);
    delivery.headingFormat = LoadHeadingFormat(context.resources, IDS_HEADING_MESSAGE);
    delivery.codePage = std::make_shared<AnsiCodePage>();
    return delivery;
}

}  // namespace

std::unique_ptr<RunningListener> StartNetbiosThread(const ReceptionContext& context) {
    return StartListenerThread(std::make_shared<NetbiosListener>(context, MakeDelivery(context)));
}

}  // namespace tavik::reception
