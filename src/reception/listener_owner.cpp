#include "reception/listener_owner.h"

#include "reception/mailslot_thread.h"
#include "reception/network_listeners.h"
#include "win/pumping_wait.h"

namespace tavik::reception {

ListenerOwner::~ListenerOwner() {
    Stop(network_);
    Stop(messenger_);
}

void ListenerOwner::StartMessengerListeners() {
    if (!messenger_.empty()) return;
    if (auto mailslot = StartMailslotThread(context_)) messenger_.push_back(std::move(mailslot));
}

void ListenerOwner::StopMessengerListeners() { Stop(messenger_); }

void ListenerOwner::StartNetworkListeners() {
    Stop(network_);
    network_ = reception::StartNetworkListeners(context_);
}

void ListenerOwner::StopNetworkListeners() { Stop(network_); }

void ListenerOwner::Stop(Group& group) {
    // All are asked first, so they wind down side by side.
    for (auto& listener : group) listener->RequestStop();
    for (auto& listener : group) win::WaitDispatchingSentMessages(listener->Finished(), listener->StopBoundMs());
    group.clear();
}

}  // namespace tavik::reception
