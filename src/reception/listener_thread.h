#pragma once
// Starts a listener's loop on a thread of its own. The thread and the returned listener share the
// work, so a thread that was let go at a stop still has everything it uses.

#include <windows.h>

#include <functional>
#include <memory>

#include "reception/running_listener.h"

namespace tavik::reception {

struct ListenerThreadShape {
    SIZE_T stackSize = 0;  // 0: the program's default
    DWORD stopBoundMs = 5000;
};

// Runs run() on a new thread; stop() asks it to end. Nothing when the thread could not be started.
std::unique_ptr<RunningListener> StartListenerThread(std::shared_ptr<void> work, std::function<void()> run,
                                                     std::function<void()> stop, ListenerThreadShape shape);

// The same for work with Run() and Stop() of its own.
template <typename Work>
std::unique_ptr<RunningListener> StartListenerThread(std::shared_ptr<Work> work, ListenerThreadShape shape) {
    Work* raw = work.get();
    return StartListenerThread(
        std::move(work), [raw] { raw->Run(); }, [raw] { raw->Stop(); }, shape);
}

}  // namespace tavik::reception
