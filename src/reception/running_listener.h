#pragma once
// One started listener as its owner sees it: it can be asked to stop, and it signals when its
// thread has ended. A listener that does not end in time is let go, never terminated: it
// keeps what it uses alive and ends by itself later.

#include <windows.h>

namespace tavik::reception {

class RunningListener {
public:
    virtual ~RunningListener() = default;
    virtual void RequestStop() = 0;
    // Signalled once the listener's thread has ended.
    virtual HANDLE Finished() const = 0;
    // How long its owner waits for it after asking it to stop.
    virtual DWORD StopBoundMs() const = 0;
};

}  // namespace tavik::reception
