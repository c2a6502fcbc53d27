#include "send/messenger_send.h"

#include <chrono>
#include <cstdint>
#include <optional>

#include "core/net/socket_layer.h"
#include "core/netbios/message_items.h"
#include "core/netbios/netbios_name.h"
#include "core/netbios/session_packet.h"
#include "core/netbios/smb_block.h"
#include "core/netbios/socket_session_stream.h"
#include "core/reception/messenger_datagram.h"
#include "send/own_protocol_send.h"

namespace tavik::send {

namespace {

using netbios::SessionStream;
using Clock = SessionStream::Clock;

// Replies are short; anything longer is no reply of a Messenger receiver.
constexpr std::size_t kLargestReply = 1024;

struct BlockReply {
    std::uint8_t command = 0;
    std::optional<std::uint16_t> firstWord;
};

class BlockExchange {
public:
    BlockExchange(SessionStream& stream, std::chrono::seconds timeout, std::ostream& out)
        : stream_(stream), timeout_(timeout), out_(out) {}

    // Asks the receiver for the session; prints how it answered.
    bool OpenSession(const std::string& calledName, const std::string& callingName) {
        const std::string request = netbios::BuildSessionRequest(
            netbios::NetbiosName(netbios::UpperCaseAscii(calledName), netbios::kMessengerSuffix),
            netbios::NetbiosName(netbios::UpperCaseAscii(callingName), netbios::kWorkstationSuffix));
        if (!stream_.Send(request)) {
            out_ << "session: the connection broke\n";
            return false;
        }
        const Clock::time_point deadline = Clock::now() + timeout_;
        const std::optional<netbios::SessionHeader> header = netbios::ReceiveSessionHeader(stream_, deadline);
        if (header && header->type == netbios::kPositiveSessionResponse) {
            out_ << "session: accepted\n";
            return true;
        }
        if (header && header->type == netbios::kNegativeSessionResponse && header->length == 1) {
            const std::optional<std::string> code = netbios::ReceiveBytes(stream_, 1, deadline);
            const unsigned error = code ? static_cast<std::uint8_t>((*code)[0]) : 0u;
            out_ << "session: refused (error 0x" << std::hex << error << std::dec
                 << (error == netbios::kCalledNameNotPresent ? ", called name not present" : "") << ")\n";
            return false;
        }
        out_ << "session: no answer within " << timeout_.count() << " s\n";
        return false;
    }

    // Sends block and prints whether the receiver answered it with the same command.
    std::optional<BlockReply> Send(const std::string& what, const std::string& block) {
        std::optional<BlockReply> reply;
        if (stream_.Send(netbios::SessionPacket(netbios::kSessionMessage, block))) reply = ReceiveReply();
        const auto command = static_cast<std::uint8_t>(block[netbios::kSmbProtocol.size()]);
        if (reply && reply->command == command) {
            out_ << what << ": answered\n";
            return reply;
        }
        out_ << what << ": no answer within " << timeout_.count() << " s\n";
        return std::nullopt;
    }

private:
    std::optional<BlockReply> ReceiveReply() {
        const Clock::time_point deadline = Clock::now() + timeout_;
        while (std::optional<netbios::SessionHeader> header = netbios::ReceiveSessionHeader(stream_, deadline)) {
            if (header->type == netbios::kSessionKeepAlive && header->length == 0) continue;
            if (header->type != netbios::kSessionMessage || header->length > kLargestReply) return std::nullopt;
            const std::optional<std::string> bytes = netbios::ReceiveBytes(stream_, header->length, deadline);
            const std::optional<netbios::SmbBlock> block = bytes ? netbios::ReadSmbBlock(*bytes) : std::nullopt;
            if (!block) return std::nullopt;
            return BlockReply{block->command, block->firstWord};
        }
        return std::nullopt;
    }

    SessionStream& stream_;
    const std::chrono::seconds timeout_;
    std::ostream& out_;
};

bool SendBlocks(BlockExchange& exchange, const SendOptions& options, const std::string& sender,
                const std::string& text) {
    const std::string names = netbios::NameItem(sender) + netbios::NameItem(*options.to);
    if (options.singleBlock) {
        return exchange
            .Send("single block",
                  netbios::BuildSmbBlock(netbios::kSingleBlockMessage, {}, names + netbios::DataItem(text)))
            .has_value();
    }
    const std::optional<BlockReply> start =
        exchange.Send("start block", netbios::BuildSmbBlock(netbios::kMultiBlockStart, {}, names));
    if (!start) return false;
    // Later blocks carry the group id the receiver handed out.
    const std::uint16_t group = start->firstWord.value_or(netbios::kMessageGroupId);
    for (std::size_t offset = 0, number = 1; offset < text.size(); offset += kMessengerTextBlockBytes, ++number) {
        const std::string piece = text.substr(offset, kMessengerTextBlockBytes);
        const std::string block = netbios::BuildSmbBlock(netbios::kMultiBlockText, {group}, netbios::DataItem(piece));
        if (!exchange.Send("text block " + std::to_string(number), block)) return false;
    }
    return exchange.Send("end block", netbios::BuildSmbBlock(netbios::kMultiBlockEnd, {group})).has_value();
}

}  // namespace

int SendOverMessenger(const SendOptions& options, const std::string& sender, const std::string& text, std::ostream& out,
                      std::ostream& err) {
    std::optional<std::uint32_t> address = net::ResolveIPv4(options.host);
    if (!address) {
        err << "tavik-send: cannot resolve " << options.host << "\n";
        return kExitNoAnswer;
    }
    const std::chrono::seconds timeout(options.timeoutSeconds);
    net::Socket socket = net::Socket::OpenTcp();
    if (socket.Connect(net::Endpoint{*address, options.port}, timeout) != net::IoStatus::Ok) {
        err << "tavik-send: cannot connect to " << options.host << ":" << options.port << "\n";
        return kExitNoAnswer;
    }
    netbios::SocketSessionStream stream(socket, timeout);
    BlockExchange exchange(stream, timeout, out);
    const bool answered = exchange.OpenSession(*options.to, sender) &&
                          SendBlocks(exchange, options, sender, WithMessengerLineSeparators(text));
    stream.Close();
    return answered ? kExitAnswered : kExitNoAnswer;
}

}  // namespace tavik::send
