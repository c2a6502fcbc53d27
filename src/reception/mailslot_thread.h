#pragma once
// The mailslot listener on a thread of its own (8192 bytes of stack). When the mailslot
// cannot be opened, the thread says so in a box owned by the main window, and ends.

#include <memory>

#include "reception/reception_context.h"
#include "reception/running_listener.h"

namespace tavik::reception {

// The started thread, or nothing when it could not be started.
std::unique_ptr<RunningListener> StartMailslotThread(const ReceptionContext& context);

}  // namespace tavik::reception
