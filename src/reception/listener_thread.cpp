#include "reception/listener_thread.h"

#include <system_error>

#include "win/scoped_handles.h"

namespace tavik::reception {
namespace {

class ThreadListener final : public RunningListener {
public:
    ThreadListener(std::function<void()> stop, std::shared_ptr<win::KernelHandle> finished)
        : stop_(std::move(stop)), finished_(std::move(finished)) {}
    // Joins a thread that ended; lets one go that did not (it gives its port back).
    ~ThreadListener() override { thread.Stop(std::chrono::milliseconds(0)); }

    void RequestStop() override {
        thread.RequestStop();
        if (stop_) stop_();
    }
    HANDLE Finished() const override { return finished_->Get(); }

    net::ListenerThread thread;

private:
    std::function<void()> stop_;
    // Shared with the thread, so one that was let go can still set it.
    std::shared_ptr<win::KernelHandle> finished_;
};

}  // namespace

std::unique_ptr<RunningListener> StartListenerThread(net::ListenerThread::Body body, std::function<void()> stop) {
    auto finished = std::make_shared<win::KernelHandle>(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    if (!finished->Get()) return nullptr;
    auto listener = std::make_unique<ThreadListener>(std::move(stop), finished);
    try {
        listener->thread.Start(std::move(body), [finished] { SetEvent(finished->Get()); });
    } catch (const std::system_error&) {
        return nullptr;
    }
    return listener;
}

}  // namespace tavik::reception
