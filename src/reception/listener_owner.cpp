#include "reception/listener_owner.h"

#include <algorithm>

#include "core/net/listener_thread.h"
#include "reception/mailslot_thread.h"
#include "reception/netbios_thread.h"
#include "reception/network_listeners.h"
#include "win/pumping_wait.h"

namespace tavik::reception {
namespace {

const DWORD kStopBoundMs = static_cast<DWORD>(net::kListenerStopBound.count());

}  // namespace

ListenerStarters ProgramListeners() {
    ListenerStarters starters;
    starters.messenger = [](const ReceptionContext& context) {
        ListenerGroup group;
        if (auto mailslot = StartMailslotThread(context)) group.push_back(std::move(mailslot));
        if (auto netbios = StartNetbiosThread(context)) group.push_back(std::move(netbios));
        return group;
    };
    starters.network = [](const ReceptionContext& context) { return reception::StartNetworkListeners(context); };
    return starters;
}

ListenerOwner::~ListenerOwner() { StopAll(); }

void ListenerOwner::StartMessengerListeners() {
    if (ended_ || !messenger_.empty()) return;
    messenger_ = starters_.messenger(context_);
}

void ListenerOwner::StopMessengerListeners() { Stop(messenger_); }

void ListenerOwner::StartNetworkListeners() {
    if (ended_) return;
    if (Stopping()) {
        networkStartAsked_ = true;
        return;
    }
    Stop(network_);
    networkStartAsked_ = false;
    if (!ended_) network_ = starters_.network(context_);
}

void ListenerOwner::StopNetworkListeners() {
    networkStartAsked_ = false;
    Stop(network_);
    if (networkStartAsked_ && !Stopping()) StartNetworkListeners();  // a resume came while the stop waited
}

void ListenerOwner::Stop(ListenerGroup& group) {
    // Taken out first: what runs while the stop waits never sees half-stopped listeners.
    ListenerGroup stopping = std::move(group);
    group.clear();
    inProgress_.push_back(&stopping);
    // All are asked first, so they wind down side by side.
    for (auto& listener : stopping) listener->RequestStop();
    for (auto& listener : stopping) win::WaitDispatchingSentMessages(listener->Finished(), kStopBoundMs);
    inProgress_.erase(std::find(inProgress_.begin(), inProgress_.end(), &stopping));
}

void ListenerOwner::StopAll() {
    ended_ = true;
    networkStartAsked_ = false;
    ListenerGroup running = std::move(messenger_);
    for (auto& listener : network_) running.push_back(std::move(listener));
    network_.clear();
    messenger_.clear();
    for (ListenerGroup* group : inProgress_) {
        for (auto& listener : *group) listener->RequestStop();
    }
    Stop(running);
    // The stops further down the stack wait for theirs when this returns; by then they ended.
    for (std::size_t i = 0; i < inProgress_.size(); ++i) {
        for (auto& listener : *inProgress_[i]) {
            win::WaitDispatchingSentMessages(listener->Finished(), kStopBoundMs);
        }
    }
}

}  // namespace tavik::reception
