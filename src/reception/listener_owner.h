#pragma once
// The one owner of the program's listener threads: the Messenger listeners (the mailslot and
// NetBIOS) and the own protocol's network listeners, each group started and stopped on its own.
// A stop asks every listener of the group first, then waits for each within its bound while
// sent window messages are still taken (a listener may be showing a box owned by the main
// window). The end of the session may come among those messages: StopAll then ends everything,
// the stops it runs inside included, without freeing what they still hold.

#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "reception/reception_context.h"
#include "reception/running_listener.h"

namespace tavik::reception {

using ListenerGroup = std::vector<std::unique_ptr<RunningListener>>;

// How each group is started; the program's own listeners unless a test gives others.
struct ListenerStarters {
    std::function<ListenerGroup(const ReceptionContext&)> messenger;
    std::function<ListenerGroup(const ReceptionContext&)> network;
};
ListenerStarters ProgramListeners();

class ListenerOwner {
public:
    explicit ListenerOwner(ReceptionContext context, ListenerStarters starters = ProgramListeners())
        : context_(std::move(context)), starters_(std::move(starters)) {}
    ~ListenerOwner();
    ListenerOwner(const ListenerOwner&) = delete;
    ListenerOwner& operator=(const ListenerOwner&) = delete;

    void StartMessengerListeners();
    void StopMessengerListeners();
    // Stops running network listeners first, so a restart takes changed settings.
    void StartNetworkListeners();
    void StopNetworkListeners();
    bool NetworkListenersRunning() const { return !network_.empty(); }

    // The end: stops every listener, those of stops in progress too, and waits for all of them;
    // nothing starts afterwards. Safe inside the wait of another stop.
    void StopAll();
    // A stop is waiting further down the stack: the owner must outlive it.
    bool Stopping() const { return !inProgress_.empty(); }

private:
    void Stop(ListenerGroup& group);

    ReceptionContext context_;
    ListenerStarters starters_;
    ListenerGroup messenger_;
    ListenerGroup network_;
    // The groups whose stops are waiting, innermost last; they belong to those stops.
    std::vector<ListenerGroup*> inProgress_;
    // A resume that came while a stop waited: kept for when the stop has ended.
    bool networkStartAsked_ = false;
    bool ended_ = false;
};

}  // namespace tavik::reception
