#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/netbios/netbios_name.h"
#include "core/netbios/session_packet.h"

namespace tavik::netbios {
namespace {

using namespace std::string_literals;
using Names = std::vector<std::string>;

TEST(NetbiosNames, SlotsAndSixteenByteNames) {
    EXPECT_EQ(SlotNames(MessengerNames("BOB", "bob")), Names{"BOB"});
    EXPECT_EQ(SlotNames(MessengerNames("PC7", "bob")), (Names{"PC7", "BOB"}));
    EXPECT_EQ(SlotNames(MessengerNames("pc7", "Pc7")), Names{"pc7"});  // equal apart from case
    EXPECT_EQ(SlotNames(MessengerNames("PC7", "")), Names{"PC7"});
    EXPECT_EQ(SlotNames({"PC7", "AVERYLONGUSERNAME"}), (Names{"PC7", "AVERYLONGUSERNA"}));
    EXPECT_EQ(SlotNames({"AVERYLONGUSERNAME", "averylongusernaXX"}), Names{"AVERYLONGUSERNA"});

    Names many(20, "X");
    for (std::size_t i = 0; i < many.size(); ++i) many[i] += std::to_string(i);
    many[1] = "x0";  // counts among the first 15 names but gets no slot
    Names expected(many.begin(), many.begin() + kMaximumNameSlots);
    expected.erase(expected.begin() + 1);
    EXPECT_EQ(SlotNames(many), expected);

    EXPECT_EQ(NetbiosName("COMPUTERNAME15C", kMessengerSuffix), "COMPUTERNAME15C\x03");
    EXPECT_EQ(NetbiosName("TooLongForANetbiosName", kMessengerSuffix), "TooLongForANetb\x03");
    EXPECT_EQ(NetbiosName("bob", kMessengerSuffix), "bob            \x03");
}

TEST(SessionPackets, RequestsAndLengths) {
    // The example of RFC 1001, 14.1 (the length byte 0x20 is a blank).
    EXPECT_EQ(EncodeNetbiosName("FRED            "), " EGFCEFEECACACACACACACACACACACACA\0"s);
    // A session request as smbclient sends it, calling BOB from VM.
    const std::string request = " ECEPECCACACACACACACACACACACACAAD\0 FGENCACACACACACACACACACACACACAAA\0"s;
    std::optional<SessionRequest> read = ReadSessionRequest(request);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->calledName, NetbiosName("BOB", kMessengerSuffix));
    EXPECT_EQ(read->callingName, NetbiosName("VM", 0));
    EXPECT_EQ(BuildSessionRequest(read->calledName, read->callingName), "\x81\0\0\x44"s + request);

    // A scope is passed over; a letter above 'P', a wrong length or a cut name or scope is refused.
    std::string scoped = request;
    scoped.insert(33, "\3lan\3net");
    ASSERT_TRUE(ReadSessionRequest(scoped));
    EXPECT_EQ(ReadSessionRequest(scoped)->callingName, read->callingName);
    std::string wrongLetter = request;
    wrongLetter[1] = 'Q';
    std::string wrongLength = request;
    wrongLength[0] = 0x1F;
    for (const std::string& broken : {wrongLetter, wrongLength, request.substr(0, 60), scoped.substr(0, 38)}) {
        EXPECT_FALSE(ReadSessionRequest(broken));
    }

    // Lengths have 17 bits.
    EXPECT_EQ(ReadSessionHeader("\x00\x01\xFF\xFF"s)->length, 0x1FFFFu);
    EXPECT_EQ(SessionPacket(kSessionMessage, std::string(0x10001, 'x')).substr(0, 4), "\x00\x01\x00\x01"s);
}

}  // namespace
}  // namespace tavik::netbios
