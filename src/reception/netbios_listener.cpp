#include "reception/netbios_listener.h"

#include <utility>

#include "core/net/socket_layer.h"
#include "core/netbios/message_session.h"
#include "core/netbios/netbios_name.h"
#include "core/netbios/session_carrier.h"
#include "core/settings/settings_store.h"
#include "core/text/format.h"
#include "reception/ncb_session.h"
#include "resource_ids.h"
#include "win/resource_text.h"

namespace tavik::reception {
namespace {

// Receive and send time-outs of a listen, in units of 500 ms: 30 s and 5 s.
constexpr UCHAR kReceiveTimeout = 60;
constexpr UCHAR kSendTimeout = 10;
constexpr DWORD kCarrierLookMs = 200;

NCB Blank(UCHAR command, UCHAR lana) {
    NCB ncb{};
    ncb.ncb_command = command;
    ncb.ncb_lana_num = lana;
    return ncb;
}

void CopyName(UCHAR (&field)[NCBNAMSZ], const std::string& name, std::uint8_t suffix) {
    const std::string netbiosName = netbios::NetbiosName(name, suffix);
    for (std::size_t i = 0; i < NCBNAMSZ; ++i) field[i] = static_cast<UCHAR>(netbiosName[i]);
}

UCHAR NameCommand(UCHAR command, UCHAR lana, const std::string& name) {
    NCB ncb = Blank(command, lana);
    CopyName(ncb.ncb_name, name, netbios::kMessengerSuffix);
    return Netbios(&ncb);
}

// An asynchronous command that was taken answers "pending" on some systems and "good" on others;
// its outcome comes with its event either way.
bool Posted(UCHAR immediateResult) { return immediateResult == NRC_PENDING || immediateResult == NRC_GOODRET; }

std::string ComputerName() {
    char name[16] = {};
    DWORD size = sizeof name;
    return GetComputerNameA(name, &size) ? std::string(name, size) : std::string();
}

std::string UserName() {
    char name[31] = {};
    DWORD size = sizeof name;
    return GetUserNameA(name, &size) ? std::string(name) : std::string();
}

}  // namespace

NetbiosListener::NetbiosListener(ReceptionContext context, netbios::MessengerDelivery delivery)
    : context_(std::move(context)),
      delivery_(std::move(delivery)),
      stopEvent_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}

void NetbiosListener::Run() {
    const std::string computer = ComputerName();
    if (computer.empty()) return;
    const std::vector<std::string> names = netbios::MessengerNames(computer, UserName());

    LANA_ENUM adapters{};
    NCB enumerate = Blank(NCBENUM, 0);
    enumerate.ncb_buffer = reinterpret_cast<PUCHAR>(&adapters);
    enumerate.ncb_length = sizeof adapters;
    Outcome outcome = Outcome::Nothing;
    if (Netbios(&enumerate) == NRC_GOODRET) {
        for (UCHAR i = 0; i < adapters.length && i < MAX_LANA && outcome == Outcome::Nothing && !stopping_; ++i) {
            NCB reset = Blank(NCBRESET, adapters.lana[i]);
            reset.ncb_callname[0] = 20;  // sessions
            reset.ncb_callname[2] = 30;  // names
            if (Netbios(&reset) != NRC_GOODRET) continue;
            const std::vector<std::string> slotNames = netbios::SlotNames(names);
            std::vector<Slot> slots(slotNames.size());
            for (std::size_t s = 0; s < slots.size(); ++s) slots[s].name = slotNames[s];
            outcome = ServeAdapter(adapters.lana[i], slots);
        }
    }
    // This platform's NetBIOS cannot listen: the same names over TCP.
    if (outcome != Outcome::Served && !stopping_) ServeOverTcp(names);
}

UCHAR NetbiosListener::PostListen(Slot& slot, UCHAR lana) {
    ResetEvent(slot.event.Get());
    slot.ncb = Blank(NCBLISTEN | ASYNCH, lana);
    CopyName(slot.ncb.ncb_name, slot.name, netbios::kMessengerSuffix);
    CopyName(slot.ncb.ncb_callname, "*", 0x20);  // any caller
    slot.ncb.ncb_rto = kReceiveTimeout;
    slot.ncb.ncb_sto = kSendTimeout;
    slot.ncb.ncb_event = slot.event.Get();
    return Netbios(&slot.ncb);
}

NetbiosListener::Outcome NetbiosListener::ServeAdapter(UCHAR lana, std::vector<Slot>& slots) {
    for (Slot& slot : slots) NameCommand(NCBDELNAME, lana, slot.name);  // left over from an earlier run
    PrepareSlots(slots);
    ListenCount count = AddNamesAndListen(lana, slots);
    const bool served = ServeSessions(lana, slots, count);
    PublishSlots(nullptr);
    for (Slot& slot : slots) NameCommand(NCBDELNAME, lana, slot.name);
    if (!served && !slots.empty() && count.refused == slots.size()) return Outcome::ListenRefused;
    return slots.empty() ? Outcome::Nothing : Outcome::Served;
}

void NetbiosListener::PrepareSlots(std::vector<Slot>& slots) {
    std::size_t usable = 0;
    for (Slot& slot : slots) {
        slot.event.Reset(CreateEventA(nullptr, TRUE, FALSE, nullptr));
        if (!slot.event) break;
        ++usable;
    }
    slots.resize(usable);
    PublishSlots(&slots);
}

void NetbiosListener::PublishSlots(std::vector<Slot>* slots) {
    std::lock_guard lock(slotsGuard_);
    activeSlots_ = slots;
}

NetbiosListener::ListenCount NetbiosListener::AddNamesAndListen(UCHAR lana, std::vector<Slot>& slots) {
    ListenCount count;
    for (std::size_t i = 0; i < slots.size() && !stopping_; ++i) {
        UCHAR result = NameCommand(NCBADDNAME, lana, slots[i].name);
        if (result == NRC_GOODRET) result = PostListen(slots[i], lana);
        if (Posted(result)) {
            ++count.pending;
        } else if (result == NRC_ILLCMD) {
            ++count.refused;
        } else if (!(i == 1 && result == NRC_INUSE)) {  // the user's name in use elsewhere: silent
            ShowNameFailure(slots[i].name);
        }
    }
    return count;
}

bool NetbiosListener::ServeSessions(UCHAR lana, std::vector<Slot>& slots, ListenCount& count) {
    std::vector<HANDLE> events;
    for (Slot& slot : slots) events.push_back(slot.event.Get());
    bool served = false;
    while (count.pending > 0) {
        DWORD result = WaitForMultipleObjects(static_cast<DWORD>(events.size()), events.data(), FALSE, INFINITE);
        if (result >= WAIT_OBJECT_0 + events.size()) break;
        Slot& slot = slots[result - WAIT_OBJECT_0];
        ResetEvent(slot.event.Get());
        --count.pending;
        if (slot.ncb.ncb_retcode == NRC_ILLCMD) {
            ++count.refused;
            continue;
        }
        if (slot.ncb.ncb_retcode != NRC_GOODRET) continue;  // cancelled or failed: the slot stays idle
        served = true;
        NcbSession session(slot.ncb);
        netbios::HandleMessageSession(session, delivery_);
        if (!stopping_ && Posted(PostListen(slot, lana))) ++count.pending;
    }
    return served;
}

void NetbiosListener::Stop() {
    stopping_ = true;
    SetEvent(stopEvent_.Get());
    std::lock_guard lock(slotsGuard_);
    if (activeSlots_ == nullptr) return;
    // Cancels the listen that waits in each slot, or the receive of a session under way.
    for (Slot& slot : *activeSlots_) {
        if (!slot.event) continue;
        NCB cancel = Blank(NCBCANCEL, slot.ncb.ncb_lana_num);
        cancel.ncb_buffer = reinterpret_cast<PUCHAR>(&slot.ncb);
        cancel.ncb_length = sizeof(NCB);
        Netbios(&cancel);
    }
}

void NetbiosListener::ShowNameFailure(const std::string& name) {
    const std::string caption = win::LoadResourceString(context_.resources, IDS_PROGRAM_NAME);
    const std::string format = win::LoadResourceString(context_.resources, IDS_NETBIOS_FAILED);
    win::ShowStopBox(context_.mainWindow, caption,
                     FormatText(format, {std::string_view(name), std::string_view(name)}));
}

void NetbiosListener::ServeOverTcp(const std::vector<std::string>& names) {
    const std::uint32_t port = ProcessSettings().Current()->NetbiosPort;
    if (port == 0 || port > 0xFFFF) return;  // no such port: nothing to serve, as without adapters
    net::SocketLibrary sockets;
    if (!sockets.Ready()) return;
    netbios::SessionCarrierConfig config;
    config.port = static_cast<std::uint16_t>(port);
    config.names = names;
    config.delivery = delivery_;
    netbios::SessionCarrier carrier(std::move(config));
    carrier.Start();
    // Until stopped, or until the carrier ends by itself (its port could not be had).
    while (WaitForSingleObject(stopEvent_.Get(), kCarrierLookMs) == WAIT_TIMEOUT) {
        if (carrier.WaitStopped(std::chrono::milliseconds(0))) break;
    }
    carrier.Stop();
}

}  // namespace tavik::reception
