#include "core/netbios/message_session.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

#include "core/bytes/byte_reader.h"
#include "core/netbios/message_items.h"
#include "core/netbios/smb_block.h"

namespace tavik::netbios {

namespace {

// How often a session that waits for its message to be stored looks at the listener's stop.
constexpr std::chrono::milliseconds kStopCheckInterval{100};

struct GatheredMessage {
    std::optional<std::string> sender;
    std::optional<std::string> recipient;
    std::optional<std::string> text;
    bool completed = false;
    // The command of the last block, answered once the message is settled; nothing for a broadcast.
    std::optional<std::uint8_t> answer;
};

enum class Next { Receive, End };

// Keeps the sender, then the recipient, each as far as it is there; false when the block
// lacks either and is passed over.
bool KeepNames(bytes::ByteReader& area, GatheredMessage& message) {
    const std::optional<std::string_view> sender = ReadNameItem(area);
    if (!sender) return false;
    message.sender = std::string(*sender);
    const std::optional<std::string_view> recipient = ReadNameItem(area);
    if (!recipient) return false;
    message.recipient = std::string(*recipient);
    return true;
}

// A piece that would fill the text buffer is dropped whole.
void AppendText(GatheredMessage& message, std::string_view piece) {
    if (!message.text) message.text.emplace();
    if (message.text->size() + piece.size() >= kMaximumTextBytes) return;
    message.text->append(bytes::UpToNul(piece));
}

Next ActOnBlock(const SmbBlock& block, SmbSession& session, GatheredMessage& message) {
    bytes::ByteReader area(block.byteArea);
    switch (block.command) {
    case kSingleBlockMessage:
    case kBroadcastMessage: {
        if (!KeepNames(area, message)) return Next::Receive;
        const std::optional<std::string_view> text = ReadDataItem(area);
        if (!text) return Next::Receive;
        message.text = std::string(*text);
        message.completed = true;
        if (block.command == kSingleBlockMessage) message.answer = kSingleBlockMessage;
        return Next::End;
    }
    case kMultiBlockStart:
        if (!KeepNames(area, message)) return Next::Receive;
        if (!session.SendBlock(BuildSmbBlock(kMultiBlockStart, {kMessageGroupId}))) {
            message.completed = false;
            return Next::End;
        }
        return Next::Receive;
    case kMultiBlockText: {
        if (block.firstWord != kMessageGroupId) {
            message.completed = false;
            return Next::Receive;
        }
        const std::optional<std::string_view> text = ReadDataItem(area);
        if (!text) return Next::Receive;
        AppendText(message, *text);
        message.completed = false;
        return session.SendBlock(BuildSmbBlock(kMultiBlockText)) ? Next::Receive : Next::End;
    }
    case kMultiBlockEnd:
        if (block.firstWord != kMessageGroupId) return Next::End;
        message.completed = true;
        message.answer = kMultiBlockEnd;
        return Next::End;
    default:  // forwarding and machine-name requests are not served, nor anything else
        message.completed = false;
        return Next::End;
    }
}

}  // namespace

bool HandleMessageSession(SmbSession& session, const MessengerDelivery& delivery) {
    GatheredMessage message;
    while (true) {
        const std::optional<std::string> received = session.ReceiveBlock(kMaximumBlockSize);
        if (!received || received->size() > kMaximumBlockSize) break;
        const std::optional<SmbBlock> block = ReadSmbBlock(*received);
        if (!block || ActOnBlock(*block, session, message) == Next::End) break;
    }
    const bool completed = message.completed && message.sender && message.recipient;
    // Nothing to wait for unless the message went to the sink: a refused one is answered at once.
    Confirmation settled;
    if (completed) {
        DeliverSessionMessage(delivery, *message.sender, *message.recipient, message.text.value_or(""), &settled);
    }
    // A message lost before it was stored, or a stop, leaves the caller unanswered. An answer
    // that fails changes nothing: the message is stored.
    if (message.answer && settled.Wait(kStopCheckInterval, [&session] { return session.StopRequested(); })) {
        session.SendBlock(BuildSmbBlock(*message.answer));
    }
    session.HangUp();
    return completed;
}

}  // namespace tavik::netbios
