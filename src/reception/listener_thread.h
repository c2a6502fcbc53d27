#pragma once
// Every listener of the program runs the same way: on a net::ListenerThread (std::thread with a
// cooperative stop flag), seen by its owner as a RunningListener whose event is set as the last
// thing the thread does. The thread and the listener share the work, so a thread that was let go
// at the stop bound still has everything it uses (and no longer its port).

#include <functional>
#include <memory>

#include "core/net/listener_thread.h"
#include "reception/running_listener.h"

namespace tavik::reception {

// Runs body on a new thread; stop (may be empty) is called when a stop is asked, besides the
// thread's own stop flag. Nothing when the thread could not be started.
std::unique_ptr<RunningListener> StartListenerThread(net::ListenerThread::Body body, std::function<void()> stop = {});

// The same for work with Run() and Stop() of its own.
template <typename Work>
std::unique_ptr<RunningListener> StartListenerThread(std::shared_ptr<Work> work) {
    return StartListenerThread([work](net::ListenerState&) { work->Run(); }, [work] { work->Stop(); });
}

}  // namespace tavik::reception
