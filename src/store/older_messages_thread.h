#pragma once
// The older stored messages of the start-up load, read on a thread of their own from the message
// files through the Win32 file calls. A thread that does not stop in time is let go, never
// terminated: it keeps what it uses alive and ends by itself later.

#include <windows.h>

#include <functional>
#include <memory>
#include <vector>

#include "core/store/older_messages_load.h"
#include "win/scoped_handles.h"

namespace tavik::store {

class OlderMessagesThread {
public:
    struct Work;

    // Starts reading files (newest first); wake is called on the reading thread as
    // OlderMessagesLoad says. nullptr when no thread could be started.
    static std::unique_ptr<OlderMessagesThread> Start(std::vector<FileToRead> files, std::function<void()> wake);

    OlderMessagesThread(std::shared_ptr<Work> work, HANDLE thread);
    ~OlderMessagesThread();

    // What waits, in the order to prepend; never waits.
    std::vector<OlderMessages> Take();
    // Asks the thread to stop and waits for it at most boundMs, taking the messages other threads
    // send to this one meanwhile.
    void Stop(DWORD boundMs);

private:
    std::shared_ptr<Work> work_;
    win::KernelHandle thread_;
};

}  // namespace tavik::store
