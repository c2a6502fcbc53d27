#pragma once
// Waiting for another thread from a thread that owns windows.

#include <windows.h>

namespace tavik::win {

// Waits up to boundMs for object while still taking the messages other threads send to this
// thread's windows (a worker showing a box owned by the main window sends it messages), so
// the worker can finish. True when object was signalled in time.
bool WaitDispatchingSentMessages(HANDLE object, DWORD boundMs);

}  // namespace tavik::win
