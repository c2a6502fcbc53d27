#include "core/settings/settings_writers.h"

#include <gtest/gtest.h>

#include "settings/fake_settings_key.h"

namespace tavik {
namespace {

using testing::FakeSettingsKey;

using Log = std::vector<std::string>;

std::string Text(const std::string& text) { return text + '\0'; }

MessagesPageValues SampleMessagesPage() {
    MessagesPageValues page;
    page.minimizeWhenLast = 1;
    page.popUpWhenIncoming = 0;
    page.playSound = 1;
    page.restoreHotKey = 0x0641;
    page.selectedFontSize = 12;
    page.soundFile = "ding.wav";
    page.higthPriorMess = "10.*";
    page.dontRecvMess = "";
    page.allMess = "*";
    return page;
}

MailPageValues SampleMailPage() {
    MailPageValues page;
    page.checkMail = 1;
    page.playMailSound = 0;
    page.timeChecking = 15;
    page.imapSelected = true;
    page.emailProgram = "mail.exe";
    page.userName = "ann";
    page.password = "ab";
    page.incomingMailServer = "mail.example:110";
    return page;
}

TEST(SaveMessagesPage, WritesTheValuesInOrderAndAppliesThem) {
    FakeSettingsKey key;
    Settings current;
    current.TCPPort = 8000;
    current.DataDirectory = "C:\\d\\";
    std::optional<Settings> saved = SaveMessagesPage(key, current, SampleMessagesPage());
    ASSERT_TRUE(saved.has_value());
    EXPECT_EQ(key.log, (Log{"number MinimizeWhenLast=1", "number PopUpWhenIncoming=0", "number MessageTextFontSize=12",
                            "number PlaySound=1", "number RestoreHotKey=1601", "string SoundFile=" + Text("ding.wav"),
                            "string HigthPriorMess=" + Text("10.*"), "string DontRecvMess=" + Text(""),
                            "string AllMess=" + Text("*")}));
    EXPECT_FALSE(key.open);

    EXPECT_EQ(saved->MinimizeWhenLast, 1u);
    EXPECT_EQ(saved->PopUpWhenIncoming, 0u);
    EXPECT_EQ(saved->PlaySound, 1u);
    EXPECT_EQ(saved->RestoreHotKey, 0x0641u);
    EXPECT_EQ(saved->MessageTextFontSize, 12u);
    EXPECT_EQ(saved->SoundFile, "ding.wav");
    EXPECT_EQ(saved->HigthPriorMess, "10.*");
    EXPECT_EQ(saved->DontRecvMess, "");
    EXPECT_EQ(saved->AllMess, "*");
    // Values of other pages and the computed folder are carried over.
    EXPECT_EQ(saved->TCPPort, 8000u);
    EXPECT_EQ(saved->DataDirectory, "C:\\d\\");
}

TEST(SaveMessagesPage, FontSizeRule) {
    struct Case {
        std::optional<std::uint32_t> selected;
        std::uint32_t current, expected;
    };
    const Case cases[] = {
        {14, 8, 14},          {7, 8, 7},
        {6, 12, 8},                                    // below 7 is stored as 8
        {0, 12, 8},           {std::nullopt, 12, 12},  // no selection keeps the current size
        {std::nullopt, 5, 8},                          // ... but still not below 7
    };
    for (const Case& c : cases) {
        FakeSettingsKey key;
        Settings current;
        current.MessageTextFontSize = c.current;
        MessagesPageValues page = SampleMessagesPage();
        page.selectedFontSize = c.selected;
        std::optional<Settings> saved = SaveMessagesPage(key, current, page);
        ASSERT_TRUE(saved.has_value());
        EXPECT_EQ(saved->MessageTextFontSize, c.expected) << c.selected.value_or(99) << " " << c.current;
        EXPECT_EQ(key.StoredNumber("MessageTextFontSize"), c.expected);
    }
}

TEST(SaveMessagesPage, HotKeyReplacesOnlyTheLow16Bits) {
    FakeSettingsKey key;
    Settings current;
    current.RestoreHotKey = 0x00030241;
    MessagesPageValues page = SampleMessagesPage();
    page.restoreHotKey = 0x0151;
    EXPECT_EQ(SaveMessagesPage(key, current, page)->RestoreHotKey, 0x00030151u);
}

TEST(SaveMessagesPage, LongTextsAreCutToTheFieldLimit) {
    FakeSettingsKey key;
    MessagesPageValues page = SampleMessagesPage();
    page.allMess = std::string(kMaxPageTextLength + 10, '*');
    std::optional<Settings> saved = SaveMessagesPage(key, Settings{}, page);
    EXPECT_EQ(saved->AllMess.size(), kMaxPageTextLength);
    EXPECT_EQ(key.values["AllMess"].size(), kMaxPageTextLength + 1);
}

TEST(SaveMailPage, WritesTheValuesInOrderAndAppliesThem) {
    FakeSettingsKey key;
    Settings current;
    current.AllMess = "10.*";
    std::optional<Settings> saved = SaveMailPage(key, current, SampleMailPage());
    ASSERT_TRUE(saved.has_value());
    EXPECT_EQ(key.log,
              (Log{"number CheckMail=1", "number PlayMailSound=0", "number TimeChecking=15", "number MailServerType=1",
                   "string EmailProgram=" + Text("mail.exe"), "string UserName=" + Text("ann"),
                   "string Password=" + Text("\x3B\x38"), "string IncomingMailServer=" + Text("mail.example:110")}));
    EXPECT_FALSE(key.open);
    EXPECT_EQ(saved->CheckMail, 1u);
    EXPECT_EQ(saved->PlayMailSound, 0u);
    EXPECT_EQ(saved->TimeChecking, 15u);
    EXPECT_EQ(saved->MailServerType, 1u);
    EXPECT_EQ(saved->EmailProgram, "mail.exe");
    EXPECT_EQ(saved->UserName, "ann");
    EXPECT_EQ(saved->Password, "ab");  // plain in memory
    EXPECT_EQ(saved->IncomingMailServer, "mail.example:110");
    EXPECT_EQ(saved->AllMess, "10.*");
}

TEST(SaveMailPage, IntervalAndProtocolRules) {
    MailPageValues page = SampleMailPage();
    Settings current;
    current.TimeChecking = 30;
    current.MailServerType = 1;

    FakeSettingsKey key;
    page.timeChecking.reset();  // no number in the field
    page.imapSelected = false;
    std::optional<Settings> saved = SaveMailPage(key, current, page);
    EXPECT_EQ(saved->TimeChecking, 1u);
    EXPECT_EQ(saved->MailServerType, 0u);
    EXPECT_EQ(key.StoredNumber("TimeChecking"), 1u);

    for (std::uint32_t typed : {0u, 500u}) {  // outside the arrows' range, kept as typed
        page.timeChecking = typed;
        EXPECT_EQ(SaveMailPage(key, current, page)->TimeChecking, typed);
        EXPECT_EQ(key.StoredNumber("TimeChecking"), typed);
    }
}

TEST(SettingsWriters, SinkThatCannotOpenChangesNothing) {
    FakeSettingsKey key;
    key.exists = false;
    Settings current;
    current.SoundFile = "old.wav";
    EXPECT_FALSE(SaveMessagesPage(key, current, SampleMessagesPage()).has_value());
    EXPECT_FALSE(SaveMailPage(key, current, SampleMailPage()).has_value());
    WriteClassName(key, 0x1234);
    SaveAtExit(key, current);
    EXPECT_TRUE(key.log.empty());
    EXPECT_TRUE(key.values.empty());
}

TEST(SettingsWriters, StartUpWritesClassNameAndExitDeletesItAndSavesTheFontSize) {
    FakeSettingsKey key;
    ASSERT_TRUE(key.Open());  // the single-instance check opened the key before
    WriteClassName(key, 0x000A01F2);
    EXPECT_EQ(key.StoredNumber("ClassName"), 0x000A01F2u);
    EXPECT_FALSE(key.open);

    key.log.clear();
    Settings current;
    current.MessageTextFontSize = 14;
    SaveAtExit(key, current);
    EXPECT_EQ(key.log, (Log{"delete ClassName", "number MessageTextFontSize=14"}));
    EXPECT_EQ(key.values.count("ClassName"), 0u);
    EXPECT_FALSE(key.open);
}

}  // namespace
}  // namespace tavik
