#include "reception/listener_thread.h"

#include "win/scoped_handles.h"

namespace tavik::reception {
namespace {

struct ThreadWork {
    std::shared_ptr<void> work;
    std::function<void()> run;
};

DWORD WINAPI ListenerThreadProc(LPVOID parameter) {
    std::unique_ptr<ThreadWork> handed(static_cast<ThreadWork*>(parameter));
    handed->run();
    return 0;
}

class ListenerThread final : public RunningListener {
public:
    ListenerThread(std::shared_ptr<void> work, std::function<void()> stop, HANDLE thread, DWORD stopBoundMs)
        : work_(std::move(work)), stop_(std::move(stop)), thread_(thread), stopBoundMs_(stopBoundMs) {}
    void RequestStop() override { stop_(); }
    HANDLE Finished() const override { return thread_.Get(); }
    DWORD StopBoundMs() const override { return stopBoundMs_; }

private:
    std::shared_ptr<void> work_;
    std::function<void()> stop_;
    win::KernelHandle thread_;
    DWORD stopBoundMs_;
};

}  // namespace

std::unique_ptr<RunningListener> StartListenerThread(std::shared_ptr<void> work, std::function<void()> run,
                                                     std::function<void()> stop, ListenerThreadShape shape) {
    auto handed = std::make_unique<ThreadWork>(ThreadWork{work, std::move(run)});
    HANDLE thread = CreateThread(nullptr, shape.stackSize, ListenerThreadProc, handed.get(), 0, nullptr);
    if (thread == nullptr) return nullptr;
    handed.release();  // the thread owns it now
    return std::make_unique<ListenerThread>(std::move(work), std::move(stop), thread, shape.stopBoundMs);
}

}  // namespace tavik::reception
