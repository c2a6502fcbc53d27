// tavik-send's texts in the receiver's code page, converted with the system's iconv: what the
// program's own tests (tests/unit/net/tavik_send_test.cpp) do not reach.

#include "send/receiver_text.h"

#include <gtest/gtest.h>

namespace tavik::send {
namespace {

constexpr TextOrigin kLine = TextOrigin::CommandLine;

TEST(ReceiverText, MissingCharactersAreNamedOnceForAllTexts) {
    auto pages = IconvCodePages("UTF-8");
    ReceiverText oem(*pages, 850);
    EXPECT_EQ(oem.Convert("Grüße, 20 €", kLine, "the text"), "Gr\x81\xE1\x65, 20 ?");
    EXPECT_EQ(oem.Convert("€✓ Ann", kLine, "--from"), "?? Ann");
    EXPECT_EQ(oem.Warnings(), "tavik-send: code page 850 has no \"€\" (U+20AC), \"✓\" (U+2713): each sent as \"?\"\n");

    // A whole text in another script is named in part.
    ReceiverText ansi(*pages, 1252);
    EXPECT_EQ(ansi.Convert("αβγδεζηθικλμ", kLine, "the text"), std::string(12, '?'));
    const std::string warning = ansi.Warnings();
    EXPECT_NE(warning.find("\"κ\" (U+03BA) and 2 more characters: each sent as \"?\"\n"), std::string::npos) << warning;
}

TEST(ReceiverText, TheCLocaleSendsBytesThatAreNotUtf8AsTheyAre) {
    auto pages = IconvCodePages("ANSI_X3.4-1968");
    ReceiverText ansi(*pages, 1252);
    EXPECT_EQ(ansi.Convert("Gr\xFC\xDF\x65", kLine, "standard input"), "Gr\xFC\xDF\x65");
    EXPECT_EQ(ansi.Warnings(), "tavik-send: standard input is not valid UTF-8: sent unconverted\n");
}

TEST(ReceiverText, ALatin1LocaleIsReadAsLatin1) {
    auto pages = IconvCodePages("ISO-8859-1");
    ReceiverText oem(*pages, 850);
    EXPECT_EQ(oem.Convert("Gr\xFC\xDF\x65 \xA4", kLine, "the text"), "Gr\x81\xE1\x65 \xCF");
    EXPECT_EQ(oem.Warnings(), "");
}

}  // namespace
}  // namespace tavik::send
