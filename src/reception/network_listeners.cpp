#include "reception/network_listeners.h"

#include <chrono>
#include <cstdint>
#include <memory>

#include "core/net/network_receiver.h"
#include "core/net/receipt_sender.h"
#include "core/net/tcp_listener.h"
#include "core/net/udp_listener.h"
#include "core/settings/settings_store.h"
#include "core/text/format.h"
#include "reception/system_date_time.h"
#include "reception/window_message_sink.h"
#include "resource_ids.h"
#include "shell/shell_state.h"

namespace tavik {

namespace {

constexpr int kReceiptFormatBuffer = 128;
constexpr DWORD kStopBoundMs = 7000;

// Signalled by a listener thread as the last thing it does; shared with the thread so a
// listener that was let go can still signal it.
using FinishEvent = std::shared_ptr<void>;

FinishEvent MakeFinishEvent() {
    HANDLE event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    return FinishEvent(event, [](void* handle) {
        if (handle != nullptr) CloseHandle(handle);
    });
}

std::unique_ptr<net::TcpListener> tcpListener;
std::unique_ptr<net::UdpListener> udpListener;
FinishEvent tcpFinished;
FinishEvent udpFinished;

std::string ComputerName() {
    char name[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD size = sizeof name;
    return GetComputerNameA(name, &size) ? std::string(name, size) : std::string();
}

void ShowBindFailure(HWND window, UINT formatId, std::uint32_t port) {
    std::string format = shell::LoadResourceString(formatId);
    shell::ShowErrorBox(window, FormatText(format, {static_cast<std::int64_t>(port)}));
}

// Waits for the event while letting sent messages through, so a listener blocked in a
// send to this thread's window can finish and end.
bool WaitDispatchingSentMessages(const FinishEvent& finished, DWORD limitMs) {
    if (!finished) return true;
    HANDLE event = finished.get();
    DWORD started = GetTickCount();
    while (true) {
        DWORD elapsed = GetTickCount() - started;
        if (elapsed >= limitMs) return WaitForSingleObject(event, 0) == WAIT_OBJECT_0;
        DWORD result = MsgWaitForMultipleObjects(1, &event, FALSE, limitMs - elapsed, QS_SENDMESSAGE);
        if (result == WAIT_OBJECT_0) return true;
        if (result != WAIT_OBJECT_0 + 1) return WaitForSingleObject(event, 0) == WAIT_OBJECT_0;
        MSG message;
        PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

net::ListenerConfig MakeConfig(HWND window, std::uint32_t port, UINT bindFailureText,
                               const net::NetworkHandler& handler, FinishEvent& finished) {
    net::ListenerConfig config;
    config.port = static_cast<std::uint16_t>(port);
    config.handler = handler;
    config.onBindFailure = [window, port, bindFailureText](std::uint16_t) {
        ShowBindFailure(window, bindFailureText, port);
    };
    finished = MakeFinishEvent();
    config.onFinished = [finished] {
        if (finished) SetEvent(finished.get());
    };
    return config;
}

template <typename Listener>
void StopListener(std::unique_ptr<Listener>& listener, FinishEvent& finished) {
    if (!listener) return;
    WaitDispatchingSentMessages(finished, kStopBoundMs);
    listener->Stop(std::chrono::milliseconds(0));  // joins if it ended, lets it go if not
    listener.reset();
    finished.reset();
}

}  // namespace

void StartNetworkListeners(HWND mainWindow) {
    if (tcpListener || udpListener) StopNetworkListeners(mainWindow);
    std::shared_ptr<const Settings> settings = ProcessSettings().Current();

    net::ReceiverEnvironment environment;
    environment.settings = [] { return ProcessSettings().Current(); };
    environment.sink = std::make_shared<WindowMessageSink>(mainWindow);
    environment.computerName = ComputerName();
    environment.localAddress = net::LocalAddressString();
    environment.receiptFormat = shell::LoadResourceString(IDS_RECEIPT, kReceiptFormatBuffer);
    environment.clock = std::make_shared<SystemDateTime>();
    environment.receiptSender = std::make_shared<net::SocketReceiptSender>();
    net::NetworkHandler handler = net::MakeNetworkHandler(std::move(environment));

    if (settings->DisableTCPTread == 0) {
        tcpListener = std::make_unique<net::TcpListener>(
            MakeConfig(mainWindow, settings->TCPPort, IDS_TCP_BIND_FAILED, handler, tcpFinished));
        tcpListener->Start();
    }
    if (settings->DisableUDPTread == 0) {
        udpListener = std::make_unique<net::UdpListener>(
            MakeConfig(mainWindow, settings->UDPPort, IDS_UDP_BIND_FAILED, handler, udpFinished));
        udpListener->Start();
    }
    StartMailSchedule(mainWindow);
}

void StopNetworkListeners(HWND mainWindow) {
    // Both are asked first, so they wind down side by side.
    if (tcpListener) tcpListener->RequestStop();
    if (udpListener) udpListener->RequestStop();
    StopMailSchedule(mainWindow);
    StopListener(tcpListener, tcpFinished);
    StopListener(udpListener, udpFinished);
}

void StartMailSchedule(HWND) {}

void StopMailSchedule(HWND) {}

}  // namespace tavik
