#pragma once
// The own protocol's UDP and TCP listeners as the program runs them: started at window
// set-up and on resume, stopped at tear-down and on suspend, restarted after the options change.

#include <memory>
#include <vector>

#include "reception/reception_context.h"
#include "reception/running_listener.h"

namespace tavik::reception {

// Starts the TCP and the UDP listener unless the settings disable them. A port that cannot be
// bound is reported with a stop box owned by the main window; the listener then tries the port
// again in the background. The socket library must have been started.
std::vector<std::unique_ptr<RunningListener>> StartNetworkListeners(const ReceptionContext& context);

}  // namespace tavik::reception
