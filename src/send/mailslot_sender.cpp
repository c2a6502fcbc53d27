// Compiled into tavik-send on every platform; only Windows has mailslots.
#ifdef _WIN32

#include "send/mailslot_sender.h"

#include <windows.h>

#include "core/reception/messenger_datagram.h"
#include "win/scoped_handles.h"

namespace tavik::send {

namespace {

bool Fail(std::string* error, const std::string& reason) {
    if (error != nullptr) {
        *error = reason;
    }
    return false;
}

std::string SystemError(const char* what, DWORD code) {
    return std::string(what) + " (system error " + std::to_string(code) + ")";
}

}  // namespace

std::uint16_t MailslotCodePage() { return static_cast<std::uint16_t>(GetOEMCP()); }

bool SendMessengerDatagram(const std::string& sender, const std::string& recipient, const std::string& text,
                           std::string* error) {
    return SendMessengerDatagramTo(kMessengerMailslotName, sender, recipient, text, error);
}

bool SendMessengerDatagramTo(const std::string& slotPath, const std::string& sender, const std::string& recipient,
                             const std::string& text, std::string* error) {
    // Receivers refuse empty names and end every part at a NUL.
    if (sender.empty() || recipient.empty()) {
        return Fail(error, "sender and recipient names must not be empty");
    }
    if (sender.find('\0') != std::string::npos || recipient.find('\0') != std::string::npos ||
        text.find('\0') != std::string::npos) {
        return Fail(error, "names and text must not hold a NUL byte");
    }
    const std::string datagram = BuildMessengerDatagram(sender, recipient, text);
    if (datagram.size() <= kMessengerMinimumDropSize) {
        return Fail(error, "message too short: receivers drop datagrams of " +
                               std::to_string(kMessengerMinimumDropSize) + " bytes or fewer");
    }
    if (datagram.size() > MAXDWORD) {
        return Fail(error, "message too long");
    }

    // Shared for writing too, so several senders can write at once.
    win::FileHandle slot(CreateFileA(slotPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                     OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!slot) {
        return Fail(error,
                    SystemError(("cannot open " + slotPath + ": is a receiver running?").c_str(), GetLastError()));
    }
    DWORD written = 0;
    const BOOL ok = WriteFile(slot.Get(), datagram.data(), static_cast<DWORD>(datagram.size()), &written, nullptr);
    const DWORD writeError = ok ? 0 : GetLastError();
    slot.Reset();
    if (!ok) {
        return Fail(error, SystemError("cannot write the message", writeError));
    }
    if (written != datagram.size()) {
        return Fail(error, "the message was cut short");
    }
    return true;
}

}  // namespace tavik::send

#endif  // _WIN32
