#pragma once
// The program's side of the UDP and TCP listeners: started at window set-up and on
// resume, stopped at tear-down and on suspend, restarted after the options change.

#include <windows.h>

#include "core/net/socket_layer.h"

namespace tavik {

// Starts the TCP and the UDP listener unless the settings disable them; messages go to
// mainWindow. A port that cannot be bound is reported with a stop box owned by mainWindow.
// Winsock must have been started. Also starts the mail schedule.
void StartNetworkListeners(HWND mainWindow);

// Stops both listeners, waiting up to 7000 ms for each while sent window messages are
// still dispatched (a listener may be handing a message to this very thread). A listener
// that does not end in time is let go and ends by itself later.
void StopNetworkListeners(HWND mainWindow);

// Where the mail subsystem's periodic check will start and stop; nothing is scheduled yet.
void StartMailSchedule(HWND mainWindow);
void StopMailSchedule(HWND mainWindow);

// The dotted form of this host's first IPv4 address (empty when unresolvable).
using net::LocalAddressString;

}  // namespace tavik
