#pragma once
// One started listener as its owner sees it: it can be asked to stop, and it signals when its
// thread has ended. Its owner waits for it at most net::kListenerStopBound; one that does not
// end in time is let go, never terminated: it keeps what it uses alive and ends by itself later.

#include <windows.h>

namespace tavik::reception {

class RunningListener {
public:
    virtual ~RunningListener() = default;
    virtual void RequestStop() = 0;
    // Signalled once the listener's thread has ended.
    virtual HANDLE Finished() const = 0;
};

}  // namespace tavik::reception
