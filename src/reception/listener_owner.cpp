#include "reception/listener_owner.h"

#include "reception/mailslot_thread.h"
#include "reception/network_listeners.h"
#include "win/pumping_wait.h"

namespace tavik::reception {

ListenerOwner::~ListenerOwner() {
    Stop(network);
    Stop(messenger);
}

void ListenerOwner::StartMessengerListeners() {
    if (!messenger.empty()) return;
    if (auto mailslot = StartMailslotThread(context)) messenger.push_back(std::move(mailslot));
}

void ListenerOwner::StopMessengerListeners() { Stop(messenger); }

void ListenerOwner::StartNetworkListeners() {
    Stop(network);
    network = reception::StartNetworkListeners(context);
}

void ListenerOwner::StopNetworkListeners() { Stop(network); }

void ListenerOwner::Stop(Group& group) {
    // All are asked first, so they wind down side by side.
    for (auto& listener : group) listener->RequestStop();
    for (auto& listener : group) win::WaitDispatchingSentMessages(listener->Finished(), listener->StopBoundMs());
    group.clear();
}

}  // namespace tavik::reception
