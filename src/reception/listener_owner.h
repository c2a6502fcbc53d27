#pragma once
// The one owner of the program's listener threads: the Messenger listeners (the mailslot)
// and the own protocol's network listeners, each group started and stopped on its own. A stop
// asks every listener of the group first, then waits for each within its bound while sent
// window messages are still taken (a listener may be showing a box owned by the main window).

#include <memory>
#include <utility>
#include <vector>

#include "reception/reception_context.h"
#include "reception/running_listener.h"

namespace tavik::reception {

class ListenerOwner {
public:
    explicit ListenerOwner(ReceptionContext context) : context_(std::move(context)) {}
    ~ListenerOwner();
    ListenerOwner(const ListenerOwner&) = delete;
    ListenerOwner& operator=(const ListenerOwner&) = delete;

    void StartMessengerListeners();
    void StopMessengerListeners();
    // Stops running network listeners first, so a restart takes changed settings.
    void StartNetworkListeners();
    void StopNetworkListeners();
    bool NetworkListenersRunning() const { return !network_.empty(); }

private:
    using Group = std::vector<std::unique_ptr<RunningListener>>;
    void Stop(Group& group);

    ReceptionContext context_;
    Group messenger_;
    Group network_;
    // A stop takes sent messages while it waits, and a resume may come among them: it is
    // kept for when the stop has ended instead of starting beside it.
    bool stopping_ = false;
    bool networkStartAsked_ = false;
};

}  // namespace tavik::reception
