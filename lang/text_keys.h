// Every text key a window asks for, with the English text it passes as default. The one table
// read by the windows, the tests and the shipped English language file alike.
#pragma once

#include <array>
#include <cstddef>

namespace pw {

enum class TextKey {
    TrayTip,
    GoToControlPanel,
    Ok,
    Cancel,
    Keyboard,
    Mouse,
    Keyboards,
    Mice,
    Active,
    Inactive,
    FirmwareVersion,
    DevicesPaired,
    HardwareId,
    DeviceStatus,
    RemoveDevice,
    Remove,
    RemoveAsk,
    RemoveComment,
    AddNewDevice,
    InsertTip,
    DeviceDetected,
    PairRequestComment,
    AddDevice,
    NotAddDevice,
    Pairing,
    Congratulations,
    SuccessComment,
    Finish,
    FailTitle,
    FailComment,
    DeviceLimitedTitle,
    DeviceLimitedText,
    FailedMsgTitle,
    Distance,
    HelpTitle,
    HelpComment,
    HelpComment2,
    HelpComment3,
    HelpComment4,
    HelpComment5,
    RedundantTitle,
    RedundantInfo,
    MultipleTitle,
    MultipleInfo,
    WelcomeTitle,
    WelcomeComment,
    Done,
    LearnPair,
    DoNotShow,
};

// How a window uses the text; decides which characters a translation may hold.
enum class TextUse {
    Plain,
    Format,   // exactly one "%s" for the device display name
    KindName, // the kind part of a device display name
    Argument, // inserted into a fixed composition; a per-cent sign stays as it is
};

// Which of two English defaults a window passes, for the keys two windows share.
enum class TextDefault { Main, Other };

struct TextEntry {
    TextKey id;
    const wchar_t* key;
    const wchar_t* english;
    const wchar_t* englishOther; // nullptr unless a second window passes a different default
    TextUse use;
};

inline constexpr std::array kTextTable{
    TextEntry{TextKey::TrayTip, L"ID_TRAY_TIP", L"Vorn Veltrane Receiver Control Panel", nullptr,
              TextUse::Plain},
    TextEntry{TextKey::GoToControlPanel, L"ID_GO_TO_CONTROL_PANEL", L"Go to Veltrane Control Panel", nullptr,
              TextUse::Plain},
    TextEntry{TextKey::Ok, L"IDOK", L"OK", nullptr, TextUse::Plain},
    TextEntry{TextKey::Cancel, L"IDCANCEL", L"Cancel", nullptr, TextUse::Plain},
    TextEntry{TextKey::Keyboard, L"IDS_KEYBOARD", L"Keyboard", nullptr, TextUse::KindName},
    TextEntry{TextKey::Mouse, L"IDS_MOUSE", L"Mouse", nullptr, TextUse::KindName},
    TextEntry{TextKey::Keyboards, L"IDS_KEYBOARD_S", L"keybaords", nullptr, TextUse::Argument},
    TextEntry{TextKey::Mice, L"IDS_MOUSE_S", L"Mice", nullptr, TextUse::Argument},
    TextEntry{TextKey::Active, L"IDS_ACTIVE", L"Active", nullptr, TextUse::Plain},
    TextEntry{TextKey::Inactive, L"IDS_INACTIVE", L"Inactive", nullptr, TextUse::Plain},
    TextEntry{TextKey::FirmwareVersion, L"IDC_STATIC_FW_VERSION", L"Firmware Version:", nullptr,
              TextUse::Plain},
    TextEntry{TextKey::DevicesPaired, L"IDC_STATIC_DEV_PAIR", L"Devices Paired:", nullptr, TextUse::Plain},
    TextEntry{TextKey::HardwareId, L"IDC_STATIC_HARDWARE_ID", L"Hardware ID:", nullptr, TextUse::Plain},
    TextEntry{TextKey::DeviceStatus, L"IDC_STATIC_DEVICE_STATUS", L"Device Status:", nullptr, TextUse::Plain},
    TextEntry{TextKey::RemoveDevice, L"IDC_BTN_DELETE_DEV", L"Remove Device", nullptr, TextUse::Plain},
    TextEntry{TextKey::Remove, L"IDC_BTN_DELETE", L"Remove", nullptr, TextUse::Plain},
    TextEntry{TextKey::RemoveAsk, L"IDC_STATIC_ASK", L"Remove", nullptr, TextUse::Argument},
    TextEntry{TextKey::RemoveComment, L"IDC_STATIC_DEL_COMMENT",
              L"Please confirm that you would like to remove this device.", nullptr, TextUse::Plain},
    TextEntry{TextKey::AddNewDevice, L"ID_ADD_NEW_DEV", L"Add New Device", nullptr, TextUse::Plain},
    // Main: the item view; Other: the no-receiver tip.
    TextEntry{TextKey::InsertTip, L"IDC_STATIC_INSERT_TIP", L"Please insert your receiver to add device.",
              L"Please Plug in a Vorn Veltrane Receiver to get started.", TextUse::Plain},
    TextEntry{TextKey::DeviceDetected, L"IDC_STATIC_DEVICE_NAME", L"Detected!", nullptr, TextUse::Argument},
    TextEntry{TextKey::PairRequestComment, L"IDC_STATIC_PAIR_REQ_COMMENT",
              L"Would you like to add it to your Vorn Veltrane Receiver?", nullptr, TextUse::Plain},
    TextEntry{TextKey::AddDevice, L"IDC_BTN_ADD_DEVICE", L"Add Device", nullptr, TextUse::Plain},
    TextEntry{TextKey::NotAddDevice, L"IDC_BTN_NOT_ADD_DEVICE", L"Not now", nullptr, TextUse::Plain},
    TextEntry{TextKey::Pairing, L"IDC_STATIC_PAIRING", L"Please wait while we add your device.", nullptr,
              TextUse::Plain},
    TextEntry{TextKey::Congratulations, L"IDC_STATIC_CONGRATULATIONS", L"Congratulations", nullptr,
              TextUse::Plain},
    TextEntry{TextKey::SuccessComment, L"IDC_STATIC_SUCCESS_COMMENT",
              L"Your %s is now added and ready for use.", nullptr, TextUse::Format},
    TextEntry{TextKey::Finish, L"IDC_BTN_FINISH", L"Finish", nullptr, TextUse::Plain},
    TextEntry{TextKey::FailTitle, L"IDC_STATIC_FAIL_TITLE", L"Maximum Receiver Limit", nullptr,
              TextUse::Plain},
    TextEntry{TextKey::FailComment, L"IDC_STATIC_FAIL_COMMENT",
              L"Either remove a device from this receiver to add a new device, or add your device to another "
              L"receiver.",
              nullptr, TextUse::Plain},
    TextEntry{TextKey::DeviceLimitedTitle, L"IDC_DEVICE_LIMITED_TITLE",
              L"%s cannot be added to new receivers!", nullptr, TextUse::Format},
    TextEntry{TextKey::DeviceLimitedText, L"IDC_DEVICE_LIMITED_TEXT",
              L"The device has reached its limit on the maximum number of times that it can be added to "
              L"compatible receivers.",
              nullptr, TextUse::Plain},
    TextEntry{TextKey::FailedMsgTitle, L"IDC_STATIC_FAILED_MSG_TITLE", L"%s Pairing Failed", nullptr,
              TextUse::Format},
    // Main: the pairing-timed-out page; Other: the pairing help page.
    TextEntry{TextKey::Distance, L"IDC_STATIC_DISTANCE",
              L"Device and receiver should be within 60 cm or less when pairing.",
              L"Device and receiver should be within 24 inches or less when pairing.", TextUse::Plain},
    TextEntry{TextKey::HelpTitle, L"IDC_STATIC_HELP_TITLE", L"Adding Your Device?", nullptr, TextUse::Plain},
    // Main: the pairing help page; Other: the pairing-timed-out page.
    TextEntry{
        TextKey::HelpComment, L"IDC_STATIC_HELP_COMMENT", L"Locate the power switch slider.",
        L"1. Locate the power switch slider.\n\n2. Slide to OFF.\n\n3.Press and hold any key/button and "
        L"slide power to ON.\n\n4. Continue holding key/button for 3 seconds.\n\n5. Pairing will begin. If "
        L"not, repeat steps 1-5.",
        TextUse::Plain},
    TextEntry{TextKey::HelpComment2, L"IDC_STATIC_HELP_COMMENT2", L"Slide to OFF.", nullptr, TextUse::Plain},
    TextEntry{TextKey::HelpComment3, L"IDC_STATIC_HELP_COMMENT3",
              L"Press and hold any key/button and slide power to ON.", nullptr, TextUse::Plain},
    TextEntry{TextKey::HelpComment4, L"IDC_STATIC_HELP_COMMENT4",
              L"Continue holding key/button for 3 seconds.", nullptr, TextUse::Plain},
    TextEntry{TextKey::HelpComment5, L"IDC_STATIC_HELP_COMMENT5",
              L"Pairing will begin. If not, repeat steps 1-5.", nullptr, TextUse::Plain},
    TextEntry{TextKey::RedundantTitle, L"IDC_STATIC_REDANT_TITLE", L"Redundant Connection", nullptr,
              TextUse::Plain},
    TextEntry{TextKey::RedundantInfo, L"IDC_STATIC_REDANT_INFO", L"%s is already connected to this adapter.",
              nullptr, TextUse::Format},
    TextEntry{TextKey::MultipleTitle, L"IDC_STATIC_MORE_DG_TITLE",
              L"Multiple Vorn Veltrane Receivers Detected", nullptr, TextUse::Plain},
    TextEntry{TextKey::MultipleInfo, L"IDC_STATIC_MORE_DG_INFO",
              L"Please only insert the receiver you would like to add %s to, and remove the other receivers.",
              nullptr, TextUse::Format},
    TextEntry{TextKey::WelcomeTitle, L"IDC_STATIC_WELCOME_TITLE", L"Welcome to Vorn Veltrane Receiver",
              nullptr, TextUse::Plain},
    TextEntry{TextKey::WelcomeComment, L"IDC_STATIC_WELCOME_COMMENT",
              L"Add up to 6 devices to a single receiver.", nullptr, TextUse::Plain},
    TextEntry{TextKey::Done, L"ID_DONE", L"Done", nullptr, TextUse::Plain},
    TextEntry{TextKey::LearnPair, L"ID_LEARN_PAIR", L"Learn how to add devices", nullptr, TextUse::Plain},
    TextEntry{TextKey::DoNotShow, L"IDC_CHECK_DONOT_SHOW", L"Do not display this message again", nullptr,
              TextUse::Plain},
};

constexpr bool TextTableFollowsEnum() {
    for (std::size_t i = 0; i < kTextTable.size(); ++i) {
        if (static_cast<std::size_t>(kTextTable[i].id) != i) return false;
    }
    return static_cast<std::size_t>(TextKey::DoNotShow) + 1 == kTextTable.size();
}
static_assert(TextTableFollowsEnum(), "kTextTable rows must follow the order of TextKey");

constexpr const TextEntry& TextEntryOf(TextKey id) {
    return kTextTable[static_cast<std::size_t>(id)];
}

// The English default a window passes; Other falls back to Main for keys with one default.
constexpr const wchar_t* EnglishDefault(TextKey id, TextDefault which = TextDefault::Main) {
    const TextEntry& e = TextEntryOf(id);
    return which == TextDefault::Other && e.englishOther ? e.englishOther : e.english;
}

} // namespace pw
