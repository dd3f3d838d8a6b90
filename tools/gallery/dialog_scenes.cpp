// The pairing and guidance dialogs as the program opens them, filled with sample devices of each kind:
// the pop-ups through OpenPopup (the success and timed-out pages through the progress dialog's
// result), the no-receiver tip as a child panel.
#include "dialogs/connection_dlgs.h"
#include "dialogs/guidance_dlgs.h"
#include "dialogs/pair_outcome_dlgs.h"
#include "dialogs/pair_progress_dlg.h"
#include "dialogs/pair_req_dlg.h"
#include "framework/pump.h"
#include "res/resource.h"
#include "tools/gallery/scene.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <optional>

namespace {

namespace ui = pw::ui;

// The opener the pictures do without: no answer window, no main window (pop-ups centre on the desktop).
class NoOwner final : public pw::IPopupOwner {
public:
    HWND AnswerWindow() const override { return nullptr; }
    HWND MainWindow() const override { return nullptr; }
    void StopAllPairing() override {}
};

class NoWelcomeSwitch final : public pw::IWelcomeSwitch {
public:
    std::optional<bool> ReadDoNotShow() override { return std::nullopt; }
    void WriteDoNotShow(bool) override {}
};

struct Sample {
    const wchar_t* kind; // picture name part
    std::uint8_t code;
    const char* name;
};
constexpr Sample kKeyboard{L"keyboard", pw::kKindKeyboard, "QT 1"};
constexpr Sample kMouse{L"mouse", pw::kKindMouse, "QT 5"};
constexpr Sample kOtherKind{L"other-kind", 3, "QT 9"};
constexpr Sample kSamples[] = {kKeyboard, kMouse, kOtherKind};

pw::DeviceSlotRecord SampleRecord(const Sample& sample) {
    pw::DeviceSlotRecord record{};
    record.slot = 2;
    record.kind = sample.code;
    pw::WriteDeviceId(record.id, 0x4D2C1B);
    std::memcpy(record.name, sample.name, std::min(std::strlen(sample.name), sizeof record.name));
    return record;
}

// A pop-up object kept with its owner until its picture is taken.
template <class Dialog> struct Held {
    NoOwner owner;
    Dialog dialog;
};

template <class Dialog, class HandOver>
gallery::SceneShot OpenHeld(std::shared_ptr<Held<Dialog>> held, HandOver handOver) {
    Dialog& dialog = held->dialog;
    if (!pw::OpenPopup(dialog, nullptr, [&] {
            handOver(dialog);
            dialog.SetOwner(&held->owner);
        }))
        return {};
    return {held, dialog.m_hWnd};
}

std::wstring Name(const wchar_t* dialog, const Sample& sample) {
    return std::wstring(L"dialogs-") + dialog + L"-" + sample.kind;
}

gallery::Scene PairRequest(const Sample& sample) {
    return {Name(L"pair-request", sample), IDD_PAIR_REQ, {}, [sample](HWND) {
                return OpenHeld(std::make_shared<Held<pw::CDlgPairReq>>(),
                                [&](pw::CDlgPairReq& d) { d.SetDeviceRecord(SampleRecord(sample)); });
            }};
}

gallery::Scene Progress() {
    return {L"dialogs-progress", IDD_PAIR_PROGRESS, {}, [](HWND) {
                return OpenHeld(std::make_shared<Held<pw::CDlgPairProgress>>(),
                                [](pw::CDlgPairProgress& d) { d.SetDeviceRecord(SampleRecord(kKeyboard)); });
            }};
}

// The success (result 0) or timed-out (result 1) page, opened by the progress dialog.
gallery::Scene Outcome(const Sample& sample, WPARAM result) {
    const bool found = result == pw::CDlgPairProgress::kResultFound;
    return {Name(found ? L"success" : L"timed-out", sample),
            found ? IDD_PAIR_SUCC : IDD_PAIR_FAILED_MSG,
            {},
            [sample, found, result](HWND) {
                auto held = std::make_shared<Held<pw::CDlgPairProgress>>();
                pw::CDlgPairProgress& progress = held->dialog;
                if (!OpenHeld(held, [&](pw::CDlgPairProgress& d) {
                         d.SetDeviceRecord(SampleRecord(sample));
                     }).window)
                    return gallery::SceneShot{};
                auto copy = found ? std::make_unique<pw::DeviceSlotRecord>(SampleRecord(sample)) : nullptr;
                progress.SendMessage(pw::WM_PAIRING_RESULT, result, reinterpret_cast<LPARAM>(copy.release()));
                fw::PumpPending();
                const pw::CPopupDialog& page =
                    found ? static_cast<const pw::CPopupDialog&>(progress.SuccessPage())
                          : progress.TimedOutPage();
                return gallery::SceneShot{held, page.m_hWnd};
            }};
}

gallery::Scene PairFailed(const Sample& sample, int mode) {
    const wchar_t* what =
        mode == pw::CDlgPairFailed::kModeDeviceLimited ? L"device-limited" : L"receiver-full";
    return {Name(what, sample), IDD_PAIR_FAILED, {}, [sample, mode](HWND) {
                auto held = std::make_shared<Held<pw::CDlgPairFailed>>();
                held->dialog.SetMode(mode);
                return OpenHeld(held,
                                [&](pw::CDlgPairFailed& d) { d.SetDeviceRecord(SampleRecord(sample)); });
            }};
}

template <class Dialog> gallery::Scene Connection(const wchar_t* what, int templateId, const Sample& sample) {
    return {Name(what, sample), templateId, {}, [sample](HWND) {
                return OpenHeld(std::make_shared<Held<Dialog>>(),
                                [&](Dialog& d) { d.SetDeviceRecord(SampleRecord(sample)); });
            }};
}

// Opened when a second receiver comes while the pair request is open: no record, no owner.
gallery::Scene MultipleReceiversWithoutRecord() {
    return {L"dialogs-multiple-receivers-no-record", IDD_FORBID_PAIR, {}, [](HWND) {
                auto held = std::make_shared<Held<pw::CDlgForbidPair>>();
                if (!pw::OpenPopup(held->dialog, nullptr)) return gallery::SceneShot{};
                return gallery::SceneShot{held, held->dialog.m_hWnd};
            }};
}

gallery::Scene Welcome() {
    return {L"dialogs-welcome", IDD_WELCOME, {}, [](HWND) {
                struct Shot {
                    NoOwner owner;
                    NoWelcomeSwitch welcomeSwitch;
                    pw::CDlgWelcome dialog{welcomeSwitch};
                };
                auto shot = std::make_shared<Shot>();
                if (!pw::OpenPopup(shot->dialog, nullptr, [&] { shot->dialog.SetOwner(&shot->owner); }))
                    return gallery::SceneShot{};
                return gallery::SceneShot{shot, shot->dialog.m_hWnd};
            }};
}

gallery::Scene Help() {
    return {L"dialogs-help", IDD_PAIR_HELP, {}, [](HWND) {
                return OpenHeld(std::make_shared<Held<pw::CDlgPairHelp>>(), [](pw::CDlgPairHelp&) {});
            }};
}

gallery::Scene NoReceiverTip() {
    return {L"dialogs-no-receiver-tip", IDD_NO_DONGLE_TIP, ui::PixelSize(*ui::FindDialog(IDD_NO_DONGLE_TIP)),
            [](HWND host) {
                auto tip = std::make_shared<pw::CDlgNoDongleTip>();
                if (!tip->Create(host)) return gallery::SceneShot{};
                return gallery::SceneShot{tip, tip->m_hWnd};
            }};
}

std::vector<gallery::Scene> AllScenes() {
    std::vector<gallery::Scene> scenes;
    for (const Sample& sample : kSamples)
        scenes.push_back(PairRequest(sample));
    scenes.push_back(Progress());
    for (const Sample& sample : kSamples) {
        scenes.push_back(Outcome(sample, pw::CDlgPairProgress::kResultFound));
        scenes.push_back(Outcome(sample, pw::CDlgPairProgress::kResultTimedOut));
        scenes.push_back(PairFailed(sample, pw::CDlgPairFailed::kModeDeviceLimited));
        scenes.push_back(Connection<pw::CDlgRedundant>(L"redundant", IDD_REDUNDANT, sample));
    }
    scenes.push_back(PairFailed(kMouse, pw::CDlgPairFailed::kModeReceiverFull));
    scenes.push_back(Connection<pw::CDlgForbidPair>(L"multiple-receivers", IDD_FORBID_PAIR, kKeyboard));
    scenes.push_back(MultipleReceiversWithoutRecord());
    scenes.push_back(Welcome());
    scenes.push_back(Help());
    scenes.push_back(NoReceiverTip());
    return scenes;
}

const gallery::SceneRegistrar s_registrar{AllScenes()};

} // namespace
