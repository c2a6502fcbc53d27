#include "reception/network_listeners.h"

#include <cstdint>
#include <string>
#include <thread>

#include "core/net/network_receiver.h"
#include "core/net/receipt_sender.h"
#include "core/net/socket_layer.h"
#include "core/net/tcp_listener.h"
#include "core/net/udp_listener.h"
#include "core/settings/settings_store.h"
#include "core/text/format.h"
#include "reception/listener_thread.h"
#include "reception/system_date_time.h"
#include "resource_ids.h"
#include "win/resource_text.h"
#include "win/scoped_handles.h"

namespace tavik::reception {
namespace {

constexpr int kReceiptFormatBuffer = 128;

std::string ComputerName() {
    char name[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD size = sizeof name;
    return GetComputerNameA(name, &size) ? std::string(name, size) : std::string();
}

// On a thread of its own: a listener goes on trying its port while the box is open.
void ShowBindFailure(const ReceptionContext& context, UINT bindFailureText, std::uint32_t port) {
    std::string caption = win::LoadResourceString(context.resources, IDS_PROGRAM_NAME);
    std::string text =
        FormatText(win::LoadResourceString(context.resources, bindFailureText), {static_cast<std::int64_t>(port)});
    std::thread([owner = context.mainWindow, caption, text] { win::ShowStopBox(owner, caption, text); }).detach();
}

// A core listener on the program's listener thread; a port that does not exist is said as one
// that is taken, with the number as it is stored.
template <typename Kind>
std::unique_ptr<RunningListener> StartNetworkListener(const ReceptionContext& context, std::uint32_t port,
                                                      UINT bindFailureText, const net::NetworkHandler& handler,
                                                      const std::shared_ptr<MessageSink>& sink) {
    if (port > 0xFFFF) {
        ShowBindFailure(context, bindFailureText, port);
        return nullptr;
    }
    net::ListenerConfig config;
    config.port = static_cast<std::uint16_t>(port);
    config.handler = handler;
    config.waitForRoom = [sink](std::chrono::milliseconds limit) { return sink->WaitForRoom(limit); };
    config.onBindFailure = [context, port, bindFailureText](std::uint16_t) {
        ShowBindFailure(context, bindFailureText, port);
    };
    return StartListenerThread(Kind(std::move(config)).Body());
}

}  // namespace

std::vector<std::unique_ptr<RunningListener>> StartNetworkListeners(const ReceptionContext& context) {
    std::shared_ptr<const Settings> settings = ProcessSettings().Current();

    auto sink = std::make_shared<QueueMessageSink>(context.queue);
    net::ReceiverEnvironment environment;
    environment.settings = [] { return ProcessSettings().Current(); };
    environment.sink = sink;
    // Runs on a listener thread, not on the window's: the lookup may wait for a name server.
    environment.lookUpLocalHost = [] { return net::LocalHost{ComputerName(), net::LocalAddressString()}; };
    environment.receiptFormat = win::LoadResourceString(context.resources, IDS_RECEIPT, kReceiptFormatBuffer);
    environment.clock = std::make_shared<SystemDateTime>();
    environment.receiptSender = std::make_shared<net::SocketReceiptSender>();
    net::NetworkHandler handler = net::MakeNetworkHandler(std::move(environment));

    std::vector<std::unique_ptr<RunningListener>> started;
    if (settings->DisableTCPTread == 0) {
        if (auto tcp = StartNetworkListener<net::TcpListener>(context, settings->TCPPort, IDS_TCP_BIND_FAILED,
                                                                handler, sink)) {
            started.push_back(std::move(tcp));
        }
    }
    if (settings->DisableUDPTread == 0) {
        if (auto udp = StartNetworkListener<net::UdpListener>(context, settings->UDPPort, IDS_UDP_BIND_FAILED,
                                                                handler, sink)) {
            started.push_back(std::move(udp));
        }
    }
    return started;
}

}  // namespace tavik::reception
