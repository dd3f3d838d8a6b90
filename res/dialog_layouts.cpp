#include "res/dialog_layouts.h"

#include "res/resource.h"

// The table names only the fields an entry sets; the rest keep their defaults on purpose.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace pw::ui {
namespace {

#define PW_ID(sym) .id = sym, .symbol = #sym

constexpr int kIdOk = 1;
constexpr int kIdCancel = 2;
constexpr int kIdStatic = -1;

constexpr std::uint32_t kWhite = 0xFFFFFFFF;
constexpr std::uint32_t kBlack = 0xFF000000;
constexpr std::uint32_t kGrey = 0xFF808080;
constexpr std::uint32_t kLinkBlue = 0xFF007DB8;
constexpr std::uint32_t kLinkBlueHover = 0xFF0293D8;

constexpr TextLook kCaptionLook{.color = kWhite, .fontSize = 18};
constexpr TextLook kLinkLook{.color = kLinkBlue, .hoverColor = kLinkBlueHover};
constexpr TextLook kWhiteText{.color = kWhite};
constexpr TextLook kTitleLook{.fontSize = 18};

constexpr std::uint32_t kPopupStyle = kPopup | kVisible | kShellFont | kToolWindow | kDraggable;

constexpr std::string_view kLinkText = "Go to Veltrane Control Panel";

constexpr std::string_view kDevicePictures[] = {"keyboard.bmp", "Mouse.bmp"};
constexpr std::string_view kDevicePicturesLarge[] = {kDevicePictures[0], "Mouse2.bmp"};
constexpr std::string_view kPairedDots[] = {"point0.bmp", "point1.bmp", "point2.bmp", "point3.bmp",
                                            "point4.bmp", "point5.bmp", "point6.bmp"};
constexpr std::string_view kScrollBarCells[] = {"scrollbar.bmp"};

// clang-format off

// 102 main window
constexpr Control kMainControls[] = {
    {PW_ID(IDC_BTN_MINIMIZE), .kind = ControlKind::PushButton, .dlu = {272, 8, 15, 16},
     .flags = kNoRtlReading, .pixels = {408, 13, 23, 26}, .pixelsArabic = {69, 13, 23, 26}, .art = Art::Minimize, .look = kWhiteText},
    {PW_ID(IDC_BTN_CLOSE), .kind = ControlKind::PushButton, .dlu = {303, 8, 15, 16},
     .flags = kNoRtlReading, .pixels = {455, 13, 23, 26}, .pixelsArabic = {21, 13, 23, 26}, .art = Art::Close, .look = kWhiteText},
    {PW_ID(IDC_STATIC_TITLE), .kind = ControlKind::Static, .dlu = {53, 7, 200, 11},
     .pixels = {58, 15, 349, 23}, .pixelsArabic = {100, 14, 349, 23}, .look = kCaptionLook, .textKey = TextKey::TrayTip},
};

// 100 about box
constexpr Control kAboutControls[] = {
    {.id = kIdStatic, .symbol = "IDC_STATIC", .kind = ControlKind::Icon, .dlu = {14, 14, 21, 20}},
    {.id = kIdStatic, .symbol = "IDC_STATIC", .kind = ControlKind::PlainStatic, .dlu = {42, 14, 114, 8},
     .text = "Pairwright, Version 1.0"},
    {.id = kIdOk, .symbol = "IDOK", .kind = ControlKind::PlainButton, .dlu = {113, 41, 50, 14}, .text = "OK",
     .flags = kDefault},
};

// 130 item view
constexpr Control kItemViewControls[] = {
    {PW_ID(IDC_SCROLLBAR), .kind = ControlKind::ScrollBar, .dlu = {301, 0, 13, 364}, .flags = kHidden | kNoRtlReading,
     .pixels = {452, 0, 6, 592}, .pixelsArabic = {452, 0, 6, 592}, .pictures = kScrollBarCells},
};

// 129 receiver item; its template rectangles are its pixel layout in dialog units
constexpr Control kReceiverControls[] = {
    {PW_ID(IDC_STATIC_RECEIVER_NAME), .kind = ControlKind::BoldStatic, .dlu = {47, 15, 104, 9},
     .text = "Pairwright Receiver", .pixels = {71, 24, 156, 15}, .pixelsArabic = {228, 24, 156, 15},
     .look = {.fontStyle = 1}},
    {PW_ID(IDC_STATIC_FW_VERSION), .kind = ControlKind::Static, .dlu = {47, 25, 80, 9}, .text = "Firmware Version:",
     .pixels = {71, 41, 120, 15}, .pixelsArabic = {281, 41, 102, 15}, .textKey = TextKey::FirmwareVersion},
    {PW_ID(IDC_STATIC_FW_VALUE), .kind = ControlKind::Static, .dlu = {133, 25, 53, 9},
     .pixels = {200, 41, 80, 15}, .pixelsArabic = {200, 41, 80, 15}},
    {PW_ID(IDC_STATIC_DEV_PAIR), .kind = ControlKind::Static, .dlu = {47, 36, 87, 9}, .text = "Devices Paired:",
     .pixels = {71, 59, 130, 15}, .pixelsArabic = {312, 59, 71, 15}, .textKey = TextKey::DevicesPaired},
    {PW_ID(IDC_STATIC_PAIRED_COUNT), .kind = ControlKind::Static, .dlu = {135, 36, 99, 9},
     .pixels = {202, 59, 149, 15}, .pixelsArabic = {106, 59, 205, 15}},
    {PW_ID(IDC_STATIC_HARDWARE_ID), .kind = ControlKind::Static, .dlu = {47, 47, 80, 9}, .text = "Hardware ID:",
     .pixels = {71, 77, 120, 15}, .pixelsArabic = {316, 77, 67, 15}, .textKey = TextKey::HardwareId},
    {PW_ID(IDC_STATIC_HARDWARE_ID_VALUE), .kind = ControlKind::Static, .dlu = {133, 47, 107, 9},
     .pixels = {200, 77, 160, 15}, .pixelsArabic = {175, 77, 140, 15}},
    {PW_ID(IDC_PIC_PAIRED), .kind = ControlKind::Picture, .dlu = {152, 15, 47, 6},
     .pixels = {228, 24, 70, 10}, .pixelsArabic = {156, 25, 70, 10}, .pictures = kPairedDots},
    {PW_ID(IDC_BTN_RECEIVER_PIC), .kind = ControlKind::PushButton, .dlu = {11, 18, 24, 28}, .flags = kNotify,
     .pixels = {16, 29, 36, 46}, .pixelsArabic = {389, 29, 36, 46}, .art = Art::ReceiverPicture,
     .look = kWhiteText},
};

// 101 device item
constexpr Control kDeviceControls[] = {
    {PW_ID(IDC_PIC_DEVICE), .kind = ControlKind::Picture, .dlu = {19, 7, 15, 13},
     .pixels = {29, 11, 48, 48}, .pixelsArabic = {379, 11, 48, 48}, .pictures = kDevicePictures},
    {PW_ID(IDC_STATIC_DEVICE_NAME), .kind = ControlKind::BoldStatic, .dlu = {53, 4, 138, 9},
     .pixels = {80, 7, 207, 15}, .pixelsArabic = {167, 7, 207, 15}, .look = {.fontStyle = 1}},
    {PW_ID(IDC_STATIC_DEVICE_STATUS), .kind = ControlKind::Static, .dlu = {53, 16, 59, 9}, .text = "Device Status:",
     .pixels = {80, 26, 110, 15}, .pixelsArabic = {307, 26, 65, 15}, .textKey = TextKey::DeviceStatus},
    {PW_ID(IDC_STATIC_STATUS_VALUE), .kind = ControlKind::Static, .dlu = {115, 15, 57, 9},
     .pixels = {190, 24, 73, 15}, .pixelsArabic = {220, 24, 86, 15}, .textKey = TextKey::Active},
    {PW_ID(IDC_STATIC_FW_VERSION), .kind = ControlKind::Static, .dlu = {53, 27, 70, 9}, .text = "Firmware Version:",
     .pixels = {80, 44, 120, 15}, .pixelsArabic = {268, 44, 103, 15}, .textKey = TextKey::FirmwareVersion},
    {PW_ID(IDC_STATIC_FW_VALUE), .kind = ControlKind::Static, .dlu = {125, 27, 47, 9},
     .pixels = {205, 44, 71, 15}, .pixelsArabic = {196, 44, 71, 15}},
    {PW_ID(IDC_BTN_DELETE_DEV), .kind = ControlKind::PushButton, .dlu = {181, 14, 69, 15}, .text = "Remove Device",
     .pixels = {258, 23, 117, 27}, .pixelsArabic = {71, 23, 104, 24}, .art = Art::Secondary, .look = kWhiteText, .textKey = TextKey::RemoveDevice},
    {PW_ID(IDC_BTN_SETTINGS), .kind = ControlKind::PushButton, .dlu = {264, 14, 24, 14},
     .pixels = {396, 23, 36, 23}, .pixelsArabic = {20, 23, 36, 23}, .art = Art::Settings, .look = kWhiteText},
};

// 134 remove-device confirmation
constexpr Control kDelDevControls[] = {
    {PW_ID(IDC_STATIC_ASK), .kind = ControlKind::Static, .dlu = {45, 13, 233, 19}, .text = "Remove XXX?",
     .pixels = {68, 21, 350, 31}, .pixelsArabic = {68, 21, 310, 31}, .look = kTitleLook, .textKey = TextKey::RemoveAsk},
    {PW_ID(IDC_STATIC_DEL_COMMENT), .kind = ControlKind::Static, .dlu = {30, 46, 250, 22},
     .pixels = {45, 75, 375, 36}, .pixelsArabic = {45, 75, 330, 36}, .textKey = TextKey::RemoveComment},
    {PW_ID(IDC_BTN_DELETE), .kind = ControlKind::PushButton, .dlu = {176, 82, 49, 19}, .text = "Remove",
     .flags = kDefault, .pixels = {264, 133, 74, 31}, .pixelsArabic = {117, 133, 74, 31}, .art = Art::Danger,
     .look = kWhiteText, .textKey = TextKey::Remove},
    {.id = kIdCancel, .symbol = "IDCANCEL", .kind = ControlKind::PushButton, .dlu = {231, 82, 49, 19},
     .text = "Cancel", .pixels = {344, 133, 78, 31}, .pixelsArabic = {25, 133, 78, 31}, .art = Art::Secondary,
     .look = kWhiteText, .textKey = TextKey::Cancel},
};

// 140 add-device item
constexpr Control kAddDeviceControls[] = {
    {PW_ID(IDC_BTN_ADD_NEW_DEV), .kind = ControlKind::PushButton, .dlu = {103, 13, 91, 18},
     .text = "Add New Device", .pixels = {118, 17, 210, 35}, .pixelsArabic = {155, 21, 137, 29},
     .art = Art::Primary, .look = kWhiteText, .textKey = TextKey::AddNewDevice},
};

// 131 pair request
constexpr Control kPairReqControls[] = {
    {PW_ID(IDC_BTN_ADD_DEVICE), .kind = ControlKind::PushButton, .dlu = {228, 118, 51, 17}, .text = "Add Device",
     .flags = kDefault, .pixels = {342, 192, 77, 28}, .pixelsArabic = {118, 192, 77, 28}, .art = Art::Primary,
     .look = kWhiteText, .textKey = TextKey::AddDevice},
    {PW_ID(IDC_BTN_NOT_ADD_DEVICE), .kind = ControlKind::PushButton, .dlu = {286, 118, 51, 17}, .text = "Not now",
     .pixels = {429, 192, 77, 28}, .pixelsArabic = {34, 192, 77, 28}, .art = Art::Secondary, .look = kWhiteText, .textKey = TextKey::NotAddDevice},
    {PW_ID(IDC_BTN_GO_CONTROL_PANEL), .kind = ControlKind::LinkButton, .dlu = {186, 155, 156, 18},
     .text = kLinkText, .pixels = {250, 252, 234, 29}, .pixelsArabic = {15, 250, 234, 29}, .art = Art::Link,
     .look = kLinkLook, .textKey = TextKey::GoToControlPanel},
    {PW_ID(IDC_STATIC_PAIR_REQ_COMMENT), .kind = ControlKind::Static, .dlu = {26, 81, 273, 29},
     .text = "Would you like to add it to your Vorn Veltrane Receiver?", .pixels = {60, 132, 410, 47},
     .pixelsArabic = {65, 132, 370, 47}, .textKey = TextKey::PairRequestComment},
    {PW_ID(IDC_STATIC_DETECTED), .kind = ControlKind::Static, .dlu = {70, 50, 185, 16}, .text = "XXX Detected!",
     .flags = kComposedText, .pixels = {105, 81, 350, 26}, .pixelsArabic = {160, 81, 278, 26}, .look = kTitleLook, .textKey = TextKey::DeviceDetected},
    {PW_ID(IDC_PIC_DEVICE), .kind = ControlKind::Picture, .dlu = {26, 43, 15, 13},
     .pixels = {39, 70, 48, 48}, .pixelsArabic = {437, 70, 48, 48}, .pictures = kDevicePicturesLarge},
    {PW_ID(IDC_STATIC_CAPTION), .kind = ControlKind::Static, .dlu = {26, 11, 113, 8}, .text = "Static",
     .pixels = {58, 15, 349, 23}, .pixelsArabic = {128, 15, 349, 23}, .look = kCaptionLook, .textKey = TextKey::TrayTip},
};

// 137 pairing progress; its link is never shown, so the art leaves it out
constexpr Control kProgressControls[] = {
    {PW_ID(IDC_STATIC_PAIRING), .kind = ControlKind::Static, .dlu = {20, 48, 266, 17},
     .text = "Please wait for device pairing", .pixels = {30, 78, 450, 28}, .pixelsArabic = {79, 78, 399, 28},
     .look = {.fontSize = 15}, .textKey = TextKey::Pairing},
    {PW_ID(IDC_PROGRESS_PAIRING), .kind = ControlKind::ProgressBar, .dlu = {20, 84, 311, 8},
     .pixels = {30, 137, 467, 13}, .pixelsArabic = {30, 137, 467, 13}},
    {.id = kIdCancel, .symbol = "IDCANCEL", .kind = ControlKind::PushButton, .dlu = {282, 114, 51, 19},
     .text = "Cancel", .pixels = {423, 185, 77, 31}, .pixelsArabic = {35, 190, 77, 31}, .art = Art::Secondary,
     .look = kWhiteText, .textKey = TextKey::Cancel},
    {PW_ID(IDC_BTN_GO_CONTROL_PANEL), .kind = ControlKind::LinkButton, .dlu = {183, 156, 156, 18},
     .text = "IDC_BTN_GO_CONTROL_PANEL", .flags = kHidden | kDisabled, .pixels = {250, 254, 234, 29},
     .pixelsArabic = {23, 254, 234, 29}, .look = kLinkLook, .textKey = TextKey::GoToControlPanel},
    {PW_ID(IDC_STATIC_CAPTION), .kind = ControlKind::Static, .dlu = {32, 15, 19, 8}, .text = "Static",
     .pixels = {58, 15, 400, 23}, .pixelsArabic = {129, 15, 349, 23}, .look = kCaptionLook, .textKey = TextKey::TrayTip},
};

// 133 pairing success
constexpr Control kPairSuccControls[] = {
    {PW_ID(IDC_BTN_FINISH), .kind = ControlKind::PushButton, .dlu = {289, 114, 43, 18}, .text = "Finish",
     .flags = kHidden, .pixels = {430, 188, 72, 29}, .pixelsArabic = {34, 192, 77, 29}, .art = Art::Primary,
     .look = kWhiteText, .textKey = TextKey::Finish},
    {PW_ID(IDC_BTN_GO_CONTROL_PANEL), .kind = ControlKind::LinkButton, .dlu = {185, 157, 156, 18},
     .text = kLinkText, .flags = kHidden, .pixels = {250, 255, 234, 29}, .pixelsArabic = {13, 247, 234, 29},
     .art = Art::Link, .look = kLinkLook, .textKey = TextKey::GoToControlPanel},
    {PW_ID(IDC_STATIC_SUCCESS_COMMENT), .kind = ControlKind::Static, .dlu = {65, 80, 270, 22},
     .text = "Your %s is now added and ready for use", .flags = kHidden | kComposedText, .pixels = {98, 130, 405, 36},
     .pixelsArabic = {62, 130, 375, 36}, .look = {.align = 4}, .textKey = TextKey::SuccessComment},
    {PW_ID(IDC_STATIC_CONGRATULATIONS), .kind = ControlKind::Static, .dlu = {48, 50, 156, 16},
     .text = "Congratulations", .pixels = {72, 81, 234, 26}, .pixelsArabic = {242, 81, 234, 26},
     .look = kTitleLook, .textKey = TextKey::Congratulations},
    {PW_ID(IDC_PIC_DEVICE), .kind = ControlKind::Picture, .dlu = {22, 76, 15, 13},
     .pixels = {33, 124, 48, 48}, .pixelsArabic = {437, 124, 48, 48}, .pictures = kDevicePicturesLarge},
    {PW_ID(IDC_STATIC_CAPTION), .kind = ControlKind::Static, .dlu = {40, 12, 19, 8}, .text = "Static",
     .pixels = {58, 15, 349, 23}, .pixelsArabic = {127, 15, 349, 23}, .look = kCaptionLook, .textKey = TextKey::TrayTip},
};

// 138 pairing failed (receiver full or device limited)
constexpr Control kPairFailedControls[] = {
    {PW_ID(IDC_BTN_OK), .kind = ControlKind::PushButton, .dlu = {275, 125, 53, 19}, .text = "OK",
     .flags = kDefault, .pixels = {413, 203, 80, 31}, .pixelsArabic = {27, 203, 80, 31}, .art = Art::Primary,
     .look = kWhiteText, .textKey = TextKey::Ok},
    {.id = kIdCancel, .symbol = "IDCANCEL", .kind = ControlKind::PlainButton, .dlu = {212, 129, 51, 18},
     .text = "Cancel", .flags = kHidden | kDisabled},
    {PW_ID(IDC_STATIC_FAIL_TITLE), .kind = ControlKind::Static, .dlu = {46, 44, 295, 26},
     .text = "Maximum Receiver Limit", .flags = kComposedText, .pixels = {70, 73, 450, 42}, .pixelsArabic = {70, 73, 390, 42},
     .look = {.fontSize = 18, .align = 4}, .textKey = TextKey::FailTitle},
    {PW_ID(IDC_STATIC_FAIL_COMMENT), .kind = ControlKind::Static, .dlu = {30, 80, 298, 35},
     .text = "Either remove a device from this receiver to add a new device. Or add your device to another "
             "receiver.",
     .flags = kComposedText, .pixels = {45, 130, 447, 57}, .pixelsArabic = {45, 130, 447, 57}, .textKey = TextKey::FailComment},
    {PW_ID(IDC_BTN_GO_CONTROL_PANEL), .kind = ControlKind::LinkButton, .dlu = {179, 165, 156, 18},
     .text = kLinkText, .pixels = {250, 268, 234, 29}, .pixelsArabic = {10, 268, 234, 29}, .art = Art::Link,
     .look = kLinkLook, .textKey = TextKey::GoToControlPanel},
    {PW_ID(IDC_PIC_DEVICE), .kind = ControlKind::Picture, .dlu = {15, 43, 15, 13},
     .pixels = {20, 65, 48, 48}, .pixelsArabic = {20, 65, 48, 48}, .pictures = kDevicePicturesLarge},
    {PW_ID(IDC_STATIC_CAPTION), .kind = ControlKind::Static, .dlu = {19, 15, 19, 8}, .text = "Static",
     .pixels = {58, 15, 349, 23}, .pixelsArabic = {120, 15, 349, 23}, .look = kCaptionLook, .textKey = TextKey::TrayTip},
};

// 144 pairing timed out, with the five steps; its OK button is never shown
constexpr Control kPairFailedMsgControls[] = {
    {PW_ID(IDC_BTN_OK), .kind = ControlKind::PushButton, .dlu = {559, 245, 54, 19}, .text = "Ok",
     .flags = kHidden, .pixels = {840, 398, 81, 31}, .pixelsArabic = {860, 398, 83, 33}, .look = kWhiteText, .textKey = TextKey::Ok},
    {PW_ID(IDC_BTN_GO_CONTROL_PANEL), .kind = ControlKind::LinkButton, .dlu = {472, 272, 156, 18},
     .text = kLinkText, .pixels = {680, 442, 234, 29}, .pixelsArabic = {10, 442, 234, 29}, .art = Art::Link,
     .look = kLinkLook, .textKey = TextKey::GoToControlPanel},
    // Right-to-left text ends at the right edge of its rectangle: at x 570 that edge lay 296 pixels
    // beyond the dialog and the title could not be seen. It now ends beside the picture (x 890).
    {PW_ID(IDC_STATIC_FAILED_MSG_TITLE), .kind = ControlKind::Static, .dlu = {54, 50, 276, 14},
     .text = "[Device Name] Pairing Failed", .flags = kComposedText, .pixels = {81, 81, 700, 23}, .pixelsArabic = {180, 85, 700, 23},
     .look = kTitleLook, .textKey = TextKey::FailedMsgTitle},
    {PW_ID(IDC_STATIC_DISTANCE), .kind = ControlKind::Static, .dlu = {46, 84, 295, 15},
     .text = "Please check that your device is within 24 inches of the receiver and follow steps 1-5 again.",
     .pixels = {68, 137, 700, 16}, .pixelsArabic = {496, 137, 411, 16}, .textKey = TextKey::Distance},
    {PW_ID(IDC_PIC_DEVICE), .kind = ControlKind::Picture, .dlu = {20, 42, 20, 20},
     .pixels = {30, 68, 48, 48}, .pixelsArabic = {890, 68, 48, 48}, .pictures = kDevicePicturesLarge},
    {PW_ID(IDC_STATIC_HELP_COMMENT), .kind = ControlKind::Static, .dlu = {29, 208, 107, 33},
     .text = "Locate the power switch slider.", .flags = kLineBreaks, .pixels = {42, 336, 161, 80}, .pixelsArabic = {759, 336, 161, 54},
     .art = Art::Card, .textKey = TextKey::HelpComment, .textDefault = TextDefault::Other},
    {PW_ID(IDC_STATIC_HELP_COMMENT2), .kind = ControlKind::Static, .dlu = {147, 208, 107, 33},
     .text = "Slide to OFF.", .pixels = {221, 336, 161, 80}, .pixelsArabic = {579, 336, 161, 54},
     .art = Art::Card, .textKey = TextKey::HelpComment2},
    {PW_ID(IDC_STATIC_HELP_COMMENT3), .kind = ControlKind::Static, .dlu = {267, 208, 107, 33},
     .text = "Press and hold any key/button and slide power to ON.", .pixels = {401, 336, 161, 80},
     .pixelsArabic = {401, 336, 161, 54}, .art = Art::Card, .textKey = TextKey::HelpComment3},
    {PW_ID(IDC_STATIC_HELP_COMMENT4), .kind = ControlKind::Static, .dlu = {387, 208, 107, 33},
     .text = "Continue holding key/button for 3 seconds.", .pixels = {579, 336, 161, 80},
     .pixelsArabic = {221, 336, 161, 54}, .art = Art::Card, .textKey = TextKey::HelpComment4},
    {PW_ID(IDC_STATIC_HELP_COMMENT5), .kind = ControlKind::Static, .dlu = {506, 208, 107, 33},
     .text = "Pairing will begin. If not, repeat steps 1-5.", .pixels = {759, 336, 161, 80},
     .pixelsArabic = {42, 336, 161, 54}, .art = Art::Card, .textKey = TextKey::HelpComment5},
    {PW_ID(IDC_STATIC_CAPTION), .kind = ControlKind::Static, .dlu = {36, 10, 19, 8}, .text = "Static",
     .pixels = {58, 15, 349, 23}, .pixelsArabic = {571, 15, 349, 23}, .look = kCaptionLook, .textKey = TextKey::TrayTip},
};

// 136 welcome
constexpr Control kWelcomeControls[] = {
    {PW_ID(IDC_BTN_DONE), .kind = ControlKind::PushButton, .dlu = {183, 172, 127, 19}, .text = "Awesome, got it",
     .flags = kDefault, .pixels = {275, 281, 191, 31}, .pixelsArabic = {60, 281, 191, 31}, .art = Art::Primary,
     .look = kWhiteText, .textKey = TextKey::Done},
    {PW_ID(IDC_BTN_GO_CONTROL_PANEL), .kind = ControlKind::LinkButton, .dlu = {183, 229, 156, 18},
     .text = kLinkText, .pixels = {250, 372, 234, 29}, .pixelsArabic = {31, 372, 234, 29}, .art = Art::Link,
     .look = kLinkLook, .textKey = TextKey::GoToControlPanel},
    {PW_ID(IDC_STATIC_WELCOME_COMMENT), .kind = ControlKind::Static, .dlu = {70, 64, 198, 20},
     .text = "Add up to 6 devices to a single receiver.", .pixels = {105, 90, 297, 40},
     .pixelsArabic = {85, 100, 330, 33}, .look = {.fontSize = 15, .align = 1}, .textKey = TextKey::WelcomeComment},
    {PW_ID(IDC_STATIC_WELCOME_TITLE), .kind = ControlKind::Static, .dlu = {50, 36, 238, 22},
     .text = "Welcome to Vorn Veltrane Receiver", .pixels = {50, 60, 450, 30}, .pixelsArabic = {75, 63, 357, 30},
     .look = {.fontSize = 18, .align = 1}, .textKey = TextKey::WelcomeTitle},
    {PW_ID(IDC_BTN_LEARN_PAIR), .kind = ControlKind::PushButton, .dlu = {39, 172, 127, 19},
     .text = "Learn how to add devices", .pixels = {60, 281, 191, 31}, .pixelsArabic = {275, 281, 191, 31},
     .art = Art::Secondary, .look = kWhiteText, .textKey = TextKey::LearnPair},
    {PW_ID(IDC_CHECK_DONOT_SHOW), .kind = ControlKind::CheckBox, .dlu = {39, 202, 271, 10},
     .text = "Do not display this message again", .pixels = {59, 328, 407, 16},
     .pixelsArabic = {226, 328, 210, 16}, .art = Art::CheckBox, .look = {.hoverColor = kBlack, .align = 4}, .textKey = TextKey::DoNotShow},
    {PW_ID(IDC_STATIC_CAPTION), .kind = ControlKind::Static, .dlu = {46, 8, 201, 8}, .text = "Static",
     .pixels = {58, 13, 349, 23}, .pixelsArabic = {129, 13, 349, 23}, .look = kCaptionLook, .textKey = TextKey::TrayTip},
};

// 135 pairing help; its "Not now" button is never shown
constexpr Control kPairHelpControls[] = {
    {PW_ID(IDC_BTN_HELP_NOT_NOW), .kind = ControlKind::PushButton, .dlu = {573, 245, 55, 20}, .text = "Not now",
     .flags = kHidden | kDisabled, .pixels = {860, 398, 83, 33}, .pixelsArabic = {860, 398, 83, 33},
     .look = kWhiteText},
    {PW_ID(IDC_BTN_GO_CONTROL_PANEL), .kind = ControlKind::LinkButton, .dlu = {474, 272, 156, 18},
     .text = kLinkText, .pixels = {680, 442, 234, 29}, .pixelsArabic = {10, 442, 234, 29}, .art = Art::Link,
     .look = kLinkLook, .textKey = TextKey::GoToControlPanel},
    {PW_ID(IDC_STATIC_HELP_TITLE), .kind = ControlKind::Static, .dlu = {47, 54, 142, 14},
     .text = "Adding Your Device?", .pixels = {71, 88, 213, 23}, .pixelsArabic = {685, 88, 213, 23},
     .look = kTitleLook, .textKey = TextKey::HelpTitle},
    {PW_ID(IDC_STATIC_HELP_DISTANCE), .kind = ControlKind::Static, .dlu = {45, 84, 274, 10},
     .text = "Device and receiver should be within 24 inches or less when pairing.", .pixels = {68, 137, 600, 16},
     .pixelsArabic = {496, 137, 411, 16}, .textKey = TextKey::Distance, .textDefault = TextDefault::Other},
    {PW_ID(IDC_STATIC_HELP_COMMENT), .kind = ControlKind::Static, .dlu = {28, 207, 107, 33},
     .text = "Locate the power switch slider.", .flags = kLineBreaks, .pixels = {42, 336, 161, 80}, .pixelsArabic = {759, 336, 161, 54},
     .art = Art::Card, .look = {.fontSize = 13}, .textKey = TextKey::HelpComment},
    {PW_ID(IDC_STATIC_HELP_COMMENT2), .kind = ControlKind::Static, .dlu = {147, 207, 107, 33},
     .text = "Slide to OFF", .pixels = {221, 336, 161, 80}, .pixelsArabic = {579, 336, 161, 54},
     .art = Art::Card, .look = {.fontSize = 13}, .textKey = TextKey::HelpComment2},
    {PW_ID(IDC_STATIC_HELP_COMMENT3), .kind = ControlKind::Static, .dlu = {267, 207, 107, 33},
     .text = "Press and hold any key/button and slide power to ON.", .pixels = {401, 336, 161, 80},
     .pixelsArabic = {401, 336, 161, 54}, .art = Art::Card, .look = {.fontSize = 13}, .textKey = TextKey::HelpComment3},
    {PW_ID(IDC_STATIC_HELP_COMMENT4), .kind = ControlKind::Static, .dlu = {386, 207, 107, 33},
     .text = "Continue holding key/button for 3 seconds.", .pixels = {579, 336, 161, 80},
     .pixelsArabic = {221, 336, 161, 54}, .art = Art::Card, .look = {.fontSize = 13}, .textKey = TextKey::HelpComment4},
    {PW_ID(IDC_STATIC_HELP_COMMENT5), .kind = ControlKind::Static, .dlu = {506, 207, 107, 33},
     .text = "Pairing will begin. If not, repeat steps 1-5.", .pixels = {759, 336, 161, 80},
     .pixelsArabic = {42, 336, 161, 54}, .art = Art::Card, .look = {.fontSize = 13}, .textKey = TextKey::HelpComment5},
    {PW_ID(IDC_STATIC_CAPTION), .kind = ControlKind::Static, .dlu = {35, 12, 216, 11}, .text = "Static",
     .pixels = {40, 15, 349, 23}, .pixelsArabic = {571, 15, 349, 23}, .look = kCaptionLook, .textKey = TextKey::TrayTip},
};

// 143 no-receiver tip
constexpr Control kNoDongleControls[] = {
    {PW_ID(IDC_STATIC_INSERT_TIP), .kind = ControlKind::Static, .dlu = {47, 25, 209, 17},
     .text = "Please Plug in a Vorn Veltrane Receiver to get started.", .pixels = {71, 41, 314, 28},
     .pixelsArabic = {74, 40, 306, 28}, .look = {.color = kGrey}, .textKey = TextKey::InsertTip, .textDefault = TextDefault::Other},
    {.id = kIdOk, .symbol = "IDOK", .kind = ControlKind::PlainButton, .dlu = {198, 38, 50, 14}, .text = "OK",
     .flags = kHidden},
    {.id = kIdCancel, .symbol = "IDCANCEL", .kind = ControlKind::PlainButton, .dlu = {239, 38, 50, 14},
     .text = "Cancel", .flags = kHidden},
};

// 139 redundant connection
constexpr Control kRedundantControls[] = {
    {PW_ID(IDC_BTN_REDANT_OK), .kind = ControlKind::PushButton, .dlu = {275, 105, 54, 19}, .text = "OK",
     .flags = kDefault, .pixels = {413, 171, 81, 31}, .pixelsArabic = {32, 171, 81, 31}, .art = Art::Primary,
     .look = kWhiteText, .textKey = TextKey::Ok},
    {.id = kIdCancel, .symbol = "IDCANCEL", .kind = ControlKind::PlainButton, .dlu = {219, 111, 50, 14},
     .text = "Cancel", .flags = kHidden | kDisabled},
    {PW_ID(IDC_STATIC_REDANT_TITLE), .kind = ControlKind::Static, .dlu = {47, 48, 282, 17},
     .text = "Redundant Connection", .pixels = {71, 78, 500, 28}, .pixelsArabic = {71, 78, 393, 28},
     .look = kTitleLook, .textKey = TextKey::RedundantTitle},
    {PW_ID(IDC_STATIC_REDANT_INFO), .kind = ControlKind::Static, .dlu = {26, 78, 303, 26},
     .text = "XXX is already connected to this adapter. ", .flags = kComposedText, .pixels = {39, 127, 455, 42},
     .pixelsArabic = {39, 127, 455, 42}, .textKey = TextKey::RedundantInfo},
    {PW_ID(IDC_BTN_GO_CONTROL_PANEL), .kind = ControlKind::LinkButton, .dlu = {184, 146, 156, 18},
     .text = kLinkText, .pixels = {250, 237, 234, 29}, .pixelsArabic = {13, 237, 234, 29}, .art = Art::Link,
     .look = kLinkLook, .textKey = TextKey::GoToControlPanel},
    {PW_ID(IDC_STATIC_CAPTION), .kind = ControlKind::Static, .dlu = {35, 10, 159, 8}, .text = "Static",
     .pixels = {50, 15, 349, 23}, .pixelsArabic = {127, 15, 349, 23}, .look = kCaptionLook, .textKey = TextKey::TrayTip},
};

// 132 multiple receivers
constexpr Control kForbidPairControls[] = {
    {PW_ID(IDC_BTN_MORE_DG_OK), .kind = ControlKind::PushButton, .dlu = {276, 120, 53, 20}, .text = "OK",
     .flags = kDefault, .pixels = {414, 195, 80, 33}, .pixelsArabic = {32, 195, 80, 33}, .art = Art::Primary,
     .look = kWhiteText, .textKey = TextKey::Ok},
    {PW_ID(IDC_STATIC_MORE_DG_TITLE), .kind = ControlKind::Static, .dlu = {50, 49, 279, 17},
     .text = "Remove Additional Receivers", .pixels = {75, 80, 419, 40}, .pixelsArabic = {35, 80, 419, 28},
     .look = kTitleLook, .textKey = TextKey::MultipleTitle},
    {PW_ID(IDC_STATIC_MORE_DG_INFO), .kind = ControlKind::Static, .dlu = {32, 81, 297, 33},
     .text = "To connect XXX to [ReceiverName], additional receivers must be removed. Please remove all other "
             "receivers to add this device.",
     .flags = kComposedText, .pixels = {48, 132, 446, 54}, .pixelsArabic = {28, 132, 466, 54}, .textKey = TextKey::MultipleInfo},
    {PW_ID(IDC_BTN_GO_CONTROL_PANEL), .kind = ControlKind::LinkButton, .dlu = {182, 161, 156, 18},
     .text = kLinkText, .pixels = {250, 262, 234, 29}, .pixelsArabic = {13, 262, 234, 29}, .art = Art::Link,
     .look = kLinkLook, .textKey = TextKey::GoToControlPanel},
    {PW_ID(IDC_STATIC_CAPTION), .kind = ControlKind::Static, .dlu = {26, 10, 69, 17}, .text = "Static",
     .pixels = {58, 15, 349, 23}, .pixelsArabic = {127, 15, 349, 23}, .look = kCaptionLook, .textKey = TextKey::TrayTip},
};

// 141 debug log
constexpr Control kDebugControls[] = {
    {PW_ID(IDC_LIST_LOG), .kind = ControlKind::ListBox, .dlu = {7, 7, 295, 145}},
    {.id = kIdOk, .symbol = "IDOK", .kind = ControlKind::PlainButton, .dlu = {199, 155, 50, 14}, .text = "OK",
     .flags = kDefault},
    {PW_ID(IDC_BTN_SAVE), .kind = ControlKind::PlainButton, .dlu = {252, 155, 50, 14}, .text = "Save"},
};

// clang-format on

// The order in which windows move their controls, where it is not the order of their controls.
constexpr int kDeviceOrder[] = {IDC_STATIC_DEVICE_NAME, IDC_STATIC_DEVICE_STATUS, IDC_STATIC_STATUS_VALUE,
                                IDC_STATIC_FW_VERSION,  IDC_STATIC_FW_VALUE,      IDC_PIC_DEVICE,
                                IDC_BTN_DELETE_DEV,     IDC_BTN_SETTINGS};
constexpr int kDelDevOrder[] = {IDC_STATIC_ASK, IDC_STATIC_DEL_COMMENT, kIdCancel, IDC_BTN_DELETE};
constexpr int kPairSuccOrder[] = {
    IDC_BTN_FINISH, IDC_BTN_GO_CONTROL_PANEL, IDC_STATIC_CONGRATULATIONS, IDC_STATIC_SUCCESS_COMMENT,
    IDC_PIC_DEVICE, IDC_STATIC_CAPTION};
constexpr int kPairFailedOrder[] = {IDC_BTN_OK,     IDC_STATIC_FAIL_TITLE,    IDC_STATIC_FAIL_COMMENT,
                                    IDC_PIC_DEVICE, IDC_BTN_GO_CONTROL_PANEL, IDC_STATIC_CAPTION};
constexpr int kPairFailedMsgOrder[] = {IDC_PIC_DEVICE,           IDC_STATIC_FAILED_MSG_TITLE,
                                       IDC_STATIC_HELP_COMMENT,  IDC_STATIC_DISTANCE,
                                       IDC_BTN_GO_CONTROL_PANEL, IDC_STATIC_HELP_COMMENT2,
                                       IDC_STATIC_HELP_COMMENT3, IDC_STATIC_HELP_COMMENT4,
                                       IDC_STATIC_HELP_COMMENT5, IDC_BTN_OK,
                                       IDC_STATIC_CAPTION};
constexpr int kWelcomeOrder[] = {
    IDC_STATIC_CAPTION,         IDC_BTN_LEARN_PAIR,       IDC_BTN_DONE,        IDC_BTN_GO_CONTROL_PANEL,
    IDC_STATIC_WELCOME_COMMENT, IDC_STATIC_WELCOME_TITLE, IDC_CHECK_DONOT_SHOW};
constexpr int kPairHelpOrder[] = {
    IDC_STATIC_HELP_TITLE,    IDC_STATIC_HELP_COMMENT,  IDC_STATIC_HELP_DISTANCE, IDC_BTN_GO_CONTROL_PANEL,
    IDC_STATIC_HELP_COMMENT2, IDC_STATIC_HELP_COMMENT3, IDC_STATIC_HELP_COMMENT4, IDC_STATIC_HELP_COMMENT5,
    IDC_BTN_HELP_NOT_NOW,     IDC_STATIC_CAPTION};
constexpr int kRedundantOrder[] = {IDC_BTN_REDANT_OK, IDC_STATIC_REDANT_INFO, IDC_STATIC_REDANT_TITLE,
                                   IDC_BTN_GO_CONTROL_PANEL, IDC_STATIC_CAPTION};

// clang-format off

constexpr Dialog kDialogs[] = {
    {PW_ID(IDD_ABOUTBOX), .className = "CAboutDlg", .dlu = {170, 62},
     .flags = kPopup | kCaption | kSysMenu | kModalFrame | kShellFont, .caption = "About Pairwright",
     .controls = kAboutControls},
    {PW_ID(IDD_DEVICE_ITEM), .className = "CDlgDeviceItem", .dlu = {298, 40}, .flags = kChild,
     .skin = {"Device", "Device_Normal.bmp", "Device_Hover.bmp", "Device_Selected.bmp", {}, "Device_Mask.bmp"},
     .chrome = Chrome::Row, .controls = kDeviceControls, .layoutOrder = kDeviceOrder},
    {PW_ID(IDD_MAIN_DIALOG), .className = "CMainDlg", .dlu = {333, 419}, .flags = kPopup | kVisible | kControlFont | kAppWindow | kDraggable,
     .windowClass = "{5E27C4A0-7B3D-4F19-9C62-1A8D0B3F6E54}",
     .skin = {"main", "main_normal.bmp", "main_hover.bmp", "main_selected.bmp", {}, "main_mask.bmp"},
     .chrome = Chrome::Window, .controls = kMainControls},
    {PW_ID(IDD_RECEIVER_ITEM), .className = "CDlgReceiverItem", .dlu = {297, 60},
     .flags = kChild | kVisible | kControlFont | kTwoLooks,
     .skin = {"Receiver", "Receiver_Normal.bmp", "Receiver_Hover.bmp", "Receiver_Selected.bmp", {},
              "Receiver_Mask.bmp"},
     .chrome = Chrome::Row, .controls = kReceiverControls},
    {PW_ID(IDD_ITEM_VIEW), .className = "CDlgItemView", .dlu = {316, 365}, .flags = kChild,
     .skin = {"container", "container_normal.bmp", "container_hover.bmp", "container_selected.bmp",
              "container_disable.bmp", "container_mask.bmp"},
     .chrome = Chrome::Container, .controls = kItemViewControls},
    {PW_ID(IDD_PAIR_REQ), .className = "CDlgPairReq", .dlu = {349, 179}, .flags = kPopupStyle,
     .skin = {"PairReq", "PairReq_Normal.bmp", "PairReq_Hover.bmp", "PairReq_Selected.bmp", {}, "PairReq_Mask.bmp"},
     .chrome = Chrome::Window, .controls = kPairReqControls},
    {PW_ID(IDD_FORBID_PAIR), .className = "CDlgForbidPair", .dlu = {351, 185}, .flags = kPopupStyle,
     .skin = {"RemoveReceiver", "RemoveReceiver_Normal.bmp", "RemoveReceiver_Hover.bmp",
              "RemoveReceiver_Selected.bmp", {}, "RemoveReceiver_Mask.bmp"},
     .chrome = Chrome::Window, .controls = kForbidPairControls},
    {PW_ID(IDD_PAIR_SUCC), .className = "CDlgPairSucc", .dlu = {350, 177}, .flags = kPopupStyle,
     .skin = {"PairSucc", "PairSucc_Normal.bmp", "PairSucc_Hover.bmp", "PairSucc_Selected.bmp", {},
              "PairSucc_Mask.bmp"},
     .chrome = Chrome::Window, .controls = kPairSuccControls, .layoutOrder = kPairSuccOrder},
    {PW_ID(IDD_DEL_DEV_REQ), .className = "CDlgDelDevReq", .dlu = {296, 120},
     .flags = kPopup | kVisible | kCenter | kToolWindow,
     .skin = {"DelDevice", "DelDevice_Normal.bmp", "DelDevice_Hover.bmp", "DelDevice_Selected.bmp", {},
              "DelDevice_Mask.bmp"},
     .chrome = Chrome::Window, .controls = kDelDevControls, .layoutOrder = kDelDevOrder},
    {PW_ID(IDD_PAIR_HELP), .className = "CDlgPairHelp", .dlu = {646, 295}, .flags = kPopupStyle,
     .skin = {"Pairhelp", "Pairhelp_Normal.bmp", "Pairhelp_Hover.bmp", "Pairhelp_Selected.bmp", {},
              "Pairhelp_Mask.bmp"},
     .chrome = Chrome::Window, .controls = kPairHelpControls, .layoutOrder = kPairHelpOrder},
    {PW_ID(IDD_WELCOME), .className = "CDlgWelcome", .dlu = {350, 252}, .flags = kPopupStyle,
     .skin = {"Welcome", "Welcome_Normal.bmp", "Welcome_Hover.bmp", "Welcome_Selected.bmp", {}, "Welcome_Mask.bmp",
              "Welcome_Selected.bmp"},
     .chrome = Chrome::Window, .controls = kWelcomeControls, .layoutOrder = kWelcomeOrder},
    // The progress dialog uses its normal rendering again as its pressed one: no file of its own.
    {PW_ID(IDD_PAIR_PROGRESS), .className = "CDlgPairProgress", .dlu = {351, 179},
     .flags = kPopupStyle | kPressedIsNormal,
     .skin = {"PairSucc_Wait", "PairSucc_WaitNormal.bmp", "PairSucc_WaitHover.bmp", {}, {},
              "PairSucc_WaitMask.bmp"},
     .chrome = Chrome::Window, .controls = kProgressControls},
    {PW_ID(IDD_PAIR_FAILED), .className = "CDlgPairFailed", .dlu = {349, 187}, .flags = kPopupStyle,
     .skin = {"PairFail", "PairFail_Normal.bmp", "PairFail_Hover.bmp", "PairFail_Selected.bmp", {},
              "PairFail_Mask.bmp"},
     .chrome = Chrome::Window, .controls = kPairFailedControls, .layoutOrder = kPairFailedOrder},
    {PW_ID(IDD_REDUNDANT), .className = "CDlgRedundant", .dlu = {350, 167}, .flags = kPopupStyle,
     .skin = {"Redundant", "Redundant_Normal.bmp", "Redundant_Hover.bmp", "Redundant_Selected.bmp", {},
              "Redundant_Mask.bmp"},
     .chrome = Chrome::Window, .controls = kRedundantControls, .layoutOrder = kRedundantOrder},
    {PW_ID(IDD_ADD_NEW_DEV), .className = "CDlgAddNewDev", .dlu = {297, 43}, .flags = kChild,
     .skin = {"AddDevice", "AddDevice_Normal.bmp", "AddDevice_Hover.bmp", "AddDevice_Selected.bmp", {},
              "AddDevice_Mask.bmp"},
     .chrome = Chrome::Row, .controls = kAddDeviceControls},
    {PW_ID(IDD_DEBUG), .className = "CDlgDebug", .dlu = {309, 176},
     .flags = kPopup | kVisible | kCaption | kSysMenu | kModalFrame, .caption = "Debug Dialog",
     .controls = kDebugControls},
    {PW_ID(IDD_NO_DONGLE_TIP), .className = "CDlgNoDongleTip", .dlu = {296, 59},
     .flags = kChild | kVisible | kSysMenu | kShellFont,
     .skin = {"NoDongle", "NoDongle_Normal.bmp", {}, {}, {}, "NoDongle_Mask.bmp"}, .chrome = Chrome::Tip,
     .controls = kNoDongleControls},
    {PW_ID(IDD_PAIR_FAILED_MSG), .className = "CDlgPairFailedMsg", .dlu = {649, 297}, .flags = kPopupStyle,
     .skin = {"PairFailMsg", "PairFailMsg_Normal.bmp", "PairFailMsg_Hover.bmp", "PairFailMsg_Selected.bmp", {},
              "PairFailMsg_Mask.bmp"},
     .chrome = Chrome::Window, .controls = kPairFailedMsgControls, .layoutOrder = kPairFailedMsgOrder},
};

constexpr Picture kPictures[] = {
    {kDevicePictures[0], PictureKind::Keyboard, {48, 48}},
    {kDevicePictures[1], PictureKind::Mouse, {48, 48}},
    {kDevicePicturesLarge[1], PictureKind::MouseLarge, {48, 48}},
    {kPairedDots[0], PictureKind::PairedDots, {70, 10}, 0},
    {kPairedDots[1], PictureKind::PairedDots, {70, 10}, 1},
    {kPairedDots[2], PictureKind::PairedDots, {70, 10}, 2},
    {kPairedDots[3], PictureKind::PairedDots, {70, 10}, 3},
    {kPairedDots[4], PictureKind::PairedDots, {70, 10}, 4},
    {kPairedDots[5], PictureKind::PairedDots, {70, 10}, 5},
    {kPairedDots[6], PictureKind::PairedDots, {70, 10}, 6},
    {kScrollBarCells[0], PictureKind::ScrollBarCells, {kScrollCell.cx * 4, kScrollCell.cy * 4}},
};

// clang-format on

#undef PW_ID

int MulDivRound(int value, int mul, int div) {
    const long long product = static_cast<long long>(value) * mul;
    const long long half = div / 2;
    return static_cast<int>(product >= 0 ? (product + half) / div : -((-product + half) / div));
}

} // namespace

std::span<const Dialog> Dialogs() {
    return kDialogs;
}

std::span<const Picture> Pictures() {
    return kPictures;
}

const Dialog* FindDialog(int id) {
    for (const Dialog& d : kDialogs)
        if (d.id == id) return &d;
    return nullptr;
}

const Control* FindControl(const Dialog& dialog, int id, std::string_view symbol) {
    for (const Control& c : dialog.controls)
        if (c.id == id && (symbol.empty() || c.symbol == symbol)) return &c;
    return nullptr;
}

int DluToPixelsX(int units) {
    return MulDivRound(units, kBaseUnitX, 4);
}

int DluToPixelsY(int units) {
    return MulDivRound(units, kBaseUnitY, 8);
}

Rect DluToPixels(const Rect& units) {
    return {DluToPixelsX(units.x), DluToPixelsY(units.y), DluToPixelsX(units.cx), DluToPixelsY(units.cy)};
}

Size PixelSize(const Dialog& dialog) {
    return {DluToPixelsX(dialog.dlu.cx), DluToPixelsY(dialog.dlu.cy)};
}

Rect PixelRect(const Control& control, bool arabic) {
    const Rect& r = arabic ? control.pixelsArabic : control.pixels;
    return r.Empty() ? DluToPixels(control.dlu) : r;
}

} // namespace pw::ui
