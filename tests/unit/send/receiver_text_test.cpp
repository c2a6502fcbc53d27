// tavik-send's texts in the receiver's code page, converted with the system's iconv.

#include "send/receiver_text.h"

#include <gtest/gtest.h>

namespace tavik::send {
namespace {

constexpr TextOrigin kLine = TextOrigin::CommandLine;

TEST(ReceiverCodePage, IsTheTransportsUnlessNamedOrRaw) {
    SendOptions options;
    options.mode = SendMode::Udp;
    EXPECT_EQ(ReceiverCodePage(options), 1252);
    options.mode = SendMode::Messenger;
    EXPECT_EQ(ReceiverCodePage(options), 850);
    options.mode = SendMode::Mailslot;
    EXPECT_EQ(ReceiverCodePage(options, 437), 437);
    options.codePage = 1250;
    EXPECT_EQ(ReceiverCodePage(options, 437), 1250);
    options.codePage.reset();
    options.raw = true;
    EXPECT_EQ(ReceiverCodePage(options), std::nullopt);
}

TEST(ReceiverText, Utf8BecomesTheReceiversCodePage) {
    auto pages = IconvCodePages("UTF-8");
    ReceiverText ansi(*pages, 1252);
    EXPECT_EQ(ansi.Convert("Grüße, 20 €", kLine, "the text"), "Gr\xFC\xDF\x65, 20 \x80");
    ReceiverText eastern(*pages, 1250);
    EXPECT_EQ(eastern.Convert("Łódź, 20 €", kLine, "the text"), "\xA3\xF3\x64\x9F, 20 \x80");
    EXPECT_EQ(ansi.Warnings() + eastern.Warnings(), "");

    ReceiverText raw(*pages, std::nullopt);
    EXPECT_EQ(raw.Convert("Grüße, 20 €", kLine, "the text"), "Grüße, 20 €");
    EXPECT_EQ(raw.Warnings(), "");
}

TEST(ReceiverText, CharactersTheCodePageLacksGoAsQuestionMarksAndAreNamedOnce) {
    auto pages = IconvCodePages("UTF-8");
    ReceiverText oem(*pages, 850);
    EXPECT_EQ(oem.Convert("Grüße, 20 €", kLine, "the text"), "Gr\x81\xE1\x65, 20 ?");
    EXPECT_EQ(oem.Convert("€✓ Ann", kLine, "--from"), "?? Ann");
    EXPECT_EQ(oem.Warnings(), "tavik-send: code page 850 has no \"€\" (U+20AC), \"✓\" (U+2713): each sent as \"?\"\n");

    // A whole text in another script is named in part.
    ReceiverText many(*pages, 1252);
    EXPECT_EQ(many.Convert("αβγδεζηθικλμ", kLine, "the text"), std::string(12, '?'));
    const std::string warning = many.Warnings();
    EXPECT_NE(warning.find("\"κ\" (U+03BA) and 2 more characters: each sent as \"?\"\n"), std::string::npos) << warning;
}

TEST(ReceiverText, TheCLocaleReadsUtf8AndSendsOtherBytesAsTheyAre) {
    auto pages = IconvCodePages("ANSI_X3.4-1968");
    ReceiverText ansi(*pages, 1252);
    EXPECT_EQ(ansi.Convert("Grüße", kLine, "the text"), "Gr\xFC\xDF\x65");
    EXPECT_EQ(ansi.Convert("Gr\xFC\xDF\x65", kLine, "standard input"), "Gr\xFC\xDF\x65");
    EXPECT_EQ(ansi.Warnings(), "tavik-send: standard input is not valid UTF-8: sent unconverted\n");
}

TEST(ReceiverText, ALatin1LocaleIsReadAsLatin1) {
    auto pages = IconvCodePages("ISO-8859-1");
    ReceiverText oem(*pages, 850);
    EXPECT_EQ(oem.Convert("Gr\xFC\xDF\x65 \xA4", kLine, "the text"), "Gr\x81\xE1\x65 \xCF");
    EXPECT_EQ(oem.Warnings(), "");
}

TEST(CodePages, WindowsCodePagesByNumber) {
    auto pages = IconvCodePages("UTF-8");
    for (std::uint16_t usable : {1252, 850, 437, 1250, 1251, 932, 65001}) {
        EXPECT_TRUE(pages->CanWrite(usable)) << usable;
    }
    for (std::uint16_t unknown : {1, 1200, 12345}) {
        EXPECT_FALSE(pages->CanWrite(unknown)) << unknown;
    }
}

}  // namespace
}  // namespace tavik::send
