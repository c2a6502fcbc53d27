#include "reception/netbios_listener.h"

#include <algorithm>
#include <memory>
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
// How long the end of serving waits for the commands it cancelled.
constexpr DWORD kRetireBoundMs = 2000;

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

bool AnyPending(const std::vector<NetbiosSlot>& slots) {
    return std::any_of(slots.begin(), slots.end(), [](const NetbiosSlot& slot) { return slot.pending; });
}

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

NetbiosListener::NetbiosListener(ReceptionContext context, netbios::MessengerDelivery delivery, NetbiosCall netbios)
    : context_(std::move(context)),
      delivery_(std::move(delivery)),
      stopEvent_(CreateEventA(nullptr, TRUE, FALSE, nullptr)),
      slots_(std::move(netbios)) {}

UCHAR NetbiosListener::NameCommand(UCHAR command, UCHAR lana, const std::string& name) {
    NCB ncb = Blank(command, lana);
    CopyName(ncb.ncb_name, name, netbios::kMessengerSuffix);
    return slots_.Call(ncb);
}

void NetbiosListener::Run() {
    const std::string computer = ComputerName();
    if (computer.empty()) return;
    const std::vector<std::string> names = netbios::MessengerNames(computer, UserName());

    LANA_ENUM adapters{};
    NCB enumerate = Blank(NCBENUM, 0);
    enumerate.ncb_buffer = reinterpret_cast<PUCHAR>(&adapters);
    enumerate.ncb_length = sizeof adapters;
    Outcome outcome = Outcome::Nothing;
    if (slots_.Call(enumerate) == NRC_GOODRET) {
        const std::vector<std::string> slotNames = netbios::SlotNames(names);
        for (UCHAR i = 0; i < adapters.length && i < MAX_LANA && outcome == Outcome::Nothing && !slots_.StopRequested();
             ++i) {
            NCB reset = Blank(NCBRESET, adapters.lana[i]);
            reset.ncb_callname[0] = 20;  // sessions
            reset.ncb_callname[2] = 30;  // names
            if (slots_.Call(reset) != NRC_GOODRET) continue;
            outcome = ServeAdapter(adapters.lana[i], slotNames);
        }
    }
    // This platform's NetBIOS cannot listen: the same names over TCP.
    if (outcome != Outcome::Served && !slots_.StopRequested()) ServeOverTcp(names);
}

UCHAR NetbiosListener::PostListen(NetbiosSlot& slot, UCHAR lana) {
    return slots_.Post(slot, lana, [&slot](NCB& ncb, std::string&) {
        ncb.ncb_command = NCBLISTEN;
        CopyName(ncb.ncb_name, slot.name, netbios::kMessengerSuffix);
        CopyName(ncb.ncb_callname, "*", 0x20);  // any caller
        ncb.ncb_rto = kReceiveTimeout;
        ncb.ncb_sto = kSendTimeout;
    });
}

NetbiosListener::Outcome NetbiosListener::ServeAdapter(UCHAR lana, const std::vector<std::string>& names) {
    // On the heap: a slot whose command would not complete is left to the system for good.
    auto slots = std::make_unique<std::vector<NetbiosSlot>>(names.size());
    for (std::size_t s = 0; s < names.size(); ++s) (*slots)[s].name = names[s];
    for (NetbiosSlot& slot : *slots) NameCommand(NCBDELNAME, lana, slot.name);  // left over from an earlier run
    PrepareSlots(*slots);
    std::size_t refused = AddNamesAndListen(lana, *slots);
    const bool served = ServeSessions(lana, *slots, refused);
    const bool retired = slots_.Retire(*slots, kRetireBoundMs);
    for (NetbiosSlot& slot : *slots) NameCommand(NCBDELNAME, lana, slot.name);
    const Outcome outcome = slots->empty()                        ? Outcome::Nothing
                            : !served && refused == slots->size() ? Outcome::ListenRefused
                                                                  : Outcome::Served;
    if (!retired) static_cast<void>(slots.release());  // the system may still write into it
    return outcome;
}

void NetbiosListener::PrepareSlots(std::vector<NetbiosSlot>& slots) {
    std::size_t usable = 0;
    for (NetbiosSlot& slot : slots) {
        slot.event.Reset(CreateEventA(nullptr, TRUE, FALSE, nullptr));
        if (!slot.event) break;
        ++usable;
    }
    slots.resize(usable);
    slots_.Publish(&slots);
}

std::size_t NetbiosListener::AddNamesAndListen(UCHAR lana, std::vector<NetbiosSlot>& slots) {
    std::size_t refused = 0;
    for (std::size_t i = 0; i < slots.size() && !slots_.StopRequested(); ++i) {
        UCHAR result = NameCommand(NCBADDNAME, lana, slots[i].name);
        if (result == NRC_GOODRET) result = PostListen(slots[i], lana);
        if (Posted(result) || slots_.StopRequested()) continue;  // not posted because of a stop: no box
        if (result == NRC_ILLCMD) {
            ++refused;
        } else if (!(i == 1 && result == NRC_INUSE)) {  // the user's name in use elsewhere: silent
            ShowNameFailure(slots[i].name);
        }
    }
    return refused;
}

bool NetbiosListener::ServeSessions(UCHAR lana, std::vector<NetbiosSlot>& slots, std::size_t& refused) {
    std::vector<HANDLE> events;
    for (NetbiosSlot& slot : slots) events.push_back(slot.event.Get());
    bool served = false;
    while (AnyPending(slots)) {
        const DWORD result = WaitForMultipleObjects(static_cast<DWORD>(events.size()), events.data(), FALSE, INFINITE);
        if (result >= WAIT_OBJECT_0 + events.size()) break;  // the wait failed: the caller retires what is pending
        NetbiosSlot& slot = slots[result - WAIT_OBJECT_0];
        slots_.Completed(slot);
        if (slot.ncb.ncb_retcode == NRC_ILLCMD) {
            ++refused;
            continue;
        }
        if (slot.ncb.ncb_retcode != NRC_GOODRET) continue;  // cancelled or failed: the slot stays idle
        served = true;
        NcbSession session(slots_, slot);
        netbios::HandleMessageSession(session, delivery_);
        PostListen(slot, lana);  // refused once a stop came
    }
    return served;
}

void NetbiosListener::Stop() {
    slots_.Stop();
    SetEvent(stopEvent_.Get());
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
