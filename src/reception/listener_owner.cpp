#include "reception/listener_owner.h"

#include "reception/mailslot_thread.h"
#include "reception/netbios_thread.h"
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
    if (auto netbios = StartNetbiosThread(context_)) messenger_.push_back(std::move(netbios));
}

void ListenerOwner::StopMessengerListeners() { Stop(messenger_); }

void ListenerOwner::StartNetworkListeners() {
    if (stopping_) {
        networkStartAsked_ = true;
        return;
    }
    Stop(network_);
    networkStartAsked_ = false;
    network_ = reception::StartNetworkListeners(context_);
}

void ListenerOwner::StopNetworkListeners() {
    networkStartAsked_ = false;
    Stop(network_);
    if (networkStartAsked_) StartNetworkListeners();  // a resume came while the stop waited
}

void ListenerOwner::Stop(Group& group) {
    // Taken out first: what runs while the stop waits never sees half-stopped listeners.
    Group stopping = std::move(group);
    group.clear();
    const bool outer = !stopping_;
    stopping_ = true;
    // All are asked first, so they wind down side by side.
    for (auto& listener : stopping) listener->RequestStop();
    for (auto& listener : stopping) win::WaitDispatchingSentMessages(listener->Finished(), listener->StopBoundMs());
    if (outer) stopping_ = false;
}

}  // namespace tavik::reception
