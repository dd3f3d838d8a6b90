// The persistent settings: a few values under one key of the current user's registry hive. Every
// operation opens the key, does its work and closes it again; nothing is cached. User-interface thread.
#pragma once

#include "dialogs/welcome_switch.h"
#include "receiver/discovery.h"

#include <windows.h>

#include <optional>
#include <string>

namespace pw::settings {

// Every registry name the program uses.
inline constexpr wchar_t kKeyPath[] = L"Software\\Vorn\\Pairwright";
inline constexpr REGSAM kAccess = KEY_READ | KEY_WRITE;
inline constexpr wchar_t kFirstRun[] = L"FirstRun";
inline constexpr wchar_t kShowWelcome[] = L"ShowWelcome";
// The framework's own registry key name (the program stores nothing through it).
inline constexpr wchar_t kFrameworkRegistryKey[] = L"Vorn";

// The interface-key lists that preload the classification sets, in loading order. A list is the count
// "<stem>s" and the entries "<stem>0" .. "<stem>(count-1)".
struct KeySetList {
    const wchar_t* stem;
    KeySet ClassificationSets::*set;
};
inline constexpr KeySetList kKeySetLists[] = {
    {L"CmdPipe", &ClassificationSets::cmdPipe},
    {L"NoCmdPipe", &ClassificationSets::noCmdPipe},
    {L"NotifyPipe", &ClassificationSets::notifyPipe},
    {L"NoNotifyPipe", &ClassificationSets::noNotifyPipe},
};

// Size of the buffer one list entry is read into; longer entries are skipped.
inline constexpr DWORD kEntryBufferBytes = 1024;

// Start of a first instance: writes "FirstRun" = 0, then reads "ShowWelcome" (writing 1 when it is
// missing or not a DWORD). Returns show welcome; true when the key cannot be opened.
bool ApplyStartupSettings();

// Empties the set, then fills it from the list of the stem. A missing key leaves the set empty.
void LoadKeySet(const wchar_t* stem, KeySet& set);
void LoadAllKeySets(ClassificationSets& sets);

// The welcome dialog's "do not display again" box: checked when "ShowWelcome" is the DWORD 0;
// nothing when the value is missing or not a DWORD (the box keeps its template state).
std::optional<bool> ReadWelcomeCheckBox();
void WriteWelcomeCheckBox(bool checked);

// The welcome dialog's switch, stored as "ShowWelcome".
class CRegistryWelcomeSwitch final : public IWelcomeSwitch {
public:
    std::optional<bool> ReadDoNotShow() override { return ReadWelcomeCheckBox(); }
    void WriteDoNotShow(bool checked) override { WriteWelcomeCheckBox(checked); }
};

} // namespace pw::settings
