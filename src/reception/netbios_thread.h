#pragma once
// The NetBIOS Messenger listener on a thread of its own.

#include <memory>

#include "reception/reception_context.h"
#include "reception/running_listener.h"

namespace tavik::reception {

// The started thread, or nothing when it could not be started.
std::unique_ptr<RunningListener> StartNetbiosThread(const ReceptionContext& context);

}  // namespace tavik::reception
