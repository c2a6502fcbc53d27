#include "reception/netbios_thread.h"

#include <string>

#include "core/settings/settings_store.h"
#include "reception/ansi_code_page.h"
#include "reception/netbios_listener.h"
#include "resource_ids.h"
#include "win/resource_text.h"
#include "win/scoped_handles.h"

namespace tavik::reception {
namespace {

constexpr DWORD kStopBoundMs = 5000;
// The heading is read as into a 96-byte buffer: at most 95 characters.
constexpr int kHeadingBufferSize = 96;

netbios::MessengerDelivery MakeDelivery(const ReceptionContext& context) {
    netbios::MessengerDelivery delivery;
    delivery.settings = [] { return ProcessSettings().Current(); };
    delivery.sink = std::make_shared<QueueMessageSink>(context.queue);
    delivery.headingFormat = win::LoadResourceString(context.resources, IDS_HEADING_MESSAGE, kHeadingBufferSize);
    delivery.codePage = std::make_shared<AnsiCodePage>();
    return delivery;
}

DWORD WINAPI NetbiosThreadProc(LPVOID parameter) {
    std::unique_ptr<std::shared_ptr<NetbiosListener>> handed(static_cast<std::shared_ptr<NetbiosListener>*>(parameter));
    std::shared_ptr<NetbiosListener> listener = *handed;
    listener->Run();
    return 0;
}

class NetbiosThread final : public RunningListener {
public:
    NetbiosThread(std::shared_ptr<NetbiosListener> listener, HANDLE thread)
        : listener_(std::move(listener)), thread_(thread) {}
    void RequestStop() override { listener_->Stop(); }
    HANDLE Finished() const override { return thread_.Get(); }
    DWORD StopBoundMs() const override { return kStopBoundMs; }

private:
    std::shared_ptr<NetbiosListener> listener_;
    win::KernelHandle thread_;
};

}  // namespace

std::unique_ptr<RunningListener> StartNetbiosThread(const ReceptionContext& context) {
    auto listener = std::make_shared<NetbiosListener>(context, MakeDelivery(context));
    auto handed = std::make_unique<std::shared_ptr<NetbiosListener>>(listener);
    HANDLE thread = CreateThread(nullptr, 0, NetbiosThreadProc, handed.get(), 0, nullptr);
    if (thread == nullptr) return nullptr;
    handed.release();  // the thread owns it now
    return std::make_unique<NetbiosThread>(std::move(listener), thread);
}

}  // namespace tavik::reception
