#include "core/settings/settings_writers.h"

#include <string_view>

#include "core/settings/password_scramble.h"

namespace tavik {
namespace {

// A page field's text as the record keeps it: zero-terminated and at most kMaxPageTextLength long.
std::string FieldText(const std::string& text) {
    std::string_view view(text);
    view = view.substr(0, view.find('\0'));
    return std::string(view.substr(0, kMaxPageTextLength));
}

void WriteText(SettingsSink& sink, const std::string& name, const std::string& text) {
    std::string bytes = text;
    bytes.push_back('\0');
    sink.WriteString(name, bytes);
}

}  // namespace

std::optional<Settings> SaveMessagesPage(SettingsSink& sink, const Settings& current, const MessagesPageValues& page) {
    if (!sink.Open()) return std::nullopt;

    Settings next = current;
    next.SoundFile = FieldText(page.soundFile);
    next.HigthPriorMess = FieldText(page.higthPriorMess);
    next.DontRecvMess = FieldText(page.dontRecvMess);
    next.AllMess = FieldText(page.allMess);
    next.MinimizeWhenLast = page.minimizeWhenLast;
    next.PopUpWhenIncoming = page.popUpWhenIncoming;
    next.PlaySound = page.playSound;
    next.RestoreHotKey = (current.RestoreHotKey & 0xFFFF0000u) | page.restoreHotKey;
    if (page.selectedFontSize) next.MessageTextFontSize = *page.selectedFontSize;
    if (next.MessageTextFontSize < kMinFontSize) next.MessageTextFontSize = kDefaultFontSize;

    sink.WriteNumber("MinimizeWhenLast", next.MinimizeWhenLast);
    sink.WriteNumber("PopUpWhenIncoming", next.PopUpWhenIncoming);
    sink.WriteNumber("MessageTextFontSize", next.MessageTextFontSize);
    sink.WriteNumber("PlaySound", next.PlaySound);
    sink.WriteNumber("RestoreHotKey", next.RestoreHotKey);
    WriteText(sink, "SoundFile", next.SoundFile);
    WriteText(sink, "HigthPriorMess", next.HigthPriorMess);
    WriteText(sink, "DontRecvMess", next.DontRecvMess);
    WriteText(sink, "AllMess", next.AllMess);
    sink.Close();
    return next;
}

std::optional<Settings> SaveMailPage(SettingsSink& sink, const Settings& current, const MailPageValues& page) {
    if (!sink.Open()) return std::nullopt;

    Settings next = current;
    next.EmailProgram = FieldText(page.emailProgram);
    next.UserName = FieldText(page.userName);
    next.Password = FieldText(page.password);
    next.IncomingMailServer = FieldText(page.incomingMailServer);
    next.TimeChecking = page.timeChecking.value_or(1);
    next.MailServerType = page.imapSelected ? 1 : 0;
    next.CheckMail = page.checkMail;
    next.PlayMailSound = page.playMailSound;

    sink.WriteNumber("CheckMail", next.CheckMail);
    sink.WriteNumber("PlayMailSound", next.PlayMailSound);
    sink.WriteNumber("TimeChecking", next.TimeChecking);
    sink.WriteNumber("MailServerType", next.MailServerType);
    WriteText(sink, "EmailProgram", next.EmailProgram);
    WriteText(sink, "UserName", next.UserName);
    sink.WriteString("Password", ScramblePassword(next.Password));
    WriteText(sink, "IncomingMailServer", next.IncomingMailServer);
    sink.Close();
    return next;
}

void WriteClassName(SettingsSink& sink, std::uint32_t mainWindow) {
    if (!sink.Open()) return;
    sink.WriteNumber("ClassName", mainWindow);
    sink.Close();
}

void SaveAtExit(SettingsSink& sink, const Settings& current) {
    if (!sink.Open()) return;
    sink.DeleteValue("ClassName");
    sink.WriteNumber("MessageTextFontSize", current.MessageTextFontSize);
    sink.Close();
}

void SaveFontSize(SettingsSink& sink, const Settings& current) {
    if (!sink.Open()) return;
    sink.WriteNumber("MessageTextFontSize", current.MessageTextFontSize);
    sink.Close();
}

}  // namespace tavik
