#include "tests/dialogs/popup_host.h"

#include "skin/gdiplus_util.h"

#include <commctrl.h>

#include <iterator>
#include <memory>

namespace pwtest {
namespace {

std::unique_ptr<pw::gdip::Session> s_gdiplus;
HHOOK s_keyHook = nullptr;
int s_keyReleases = 0;

LRESULT CALLBACK CountReleases(int code, WPARAM wParam, LPARAM lParam) {
    // Bit 31: the key is being released.
    if (code == HC_ACTION && (static_cast<DWORD>(lParam) & 0x80000000u)) ++s_keyReleases;
    return CallNextHookEx(s_keyHook, code, wParam, lParam);
}

} // namespace

std::vector<std::uint32_t> Pixels(HBITMAP bitmap) {
    BITMAP info{};
    if (!bitmap || !GetObjectW(bitmap, sizeof info, &info)) return {};
    BITMAPINFO format{};
    format.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    format.bmiHeader.biWidth = info.bmWidth;
    format.bmiHeader.biHeight = -info.bmHeight;
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    format.bmiHeader.biCompression = BI_RGB;
    std::vector<std::uint32_t> pixels(static_cast<size_t>(info.bmWidth) * static_cast<size_t>(info.bmHeight));
    HDC screen = GetDC(nullptr);
    const int rows = GetDIBits(screen, bitmap, 0, static_cast<UINT>(info.bmHeight), pixels.data(), &format,
                               DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    if (rows != info.bmHeight) return {};
    return pixels;
}

std::vector<std::uint32_t> ShownPicture(HWND dialog, int id) {
    return Pixels(reinterpret_cast<HBITMAP>(SendDlgItemMessageW(dialog, id, STM_GETIMAGE, IMAGE_BITMAP, 0)));
}

std::vector<std::uint32_t> UiPicture(const wchar_t* file) {
    const std::wstring path = std::wstring(L".\\ui\\") + file;
    auto bitmap =
        static_cast<HBITMAP>(LoadImageW(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
    std::vector<std::uint32_t> pixels = Pixels(bitmap);
    if (bitmap) DeleteObject(bitmap);
    return pixels;
}

void PressKeys(std::initializer_list<WORD> keys) {
    std::vector<INPUT> inputs;
    const auto add = [&](WORD key, DWORD flags) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = key;
        input.ki.dwFlags = flags;
        inputs.push_back(input);
    };
    for (WORD key : keys)
        add(key, 0);
    for (auto key = std::rbegin(keys); key != std::rend(keys); ++key)
        add(*key, KEYEVENTF_KEYUP);
    s_keyReleases = 0;
    ASSERT_EQ(SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)), inputs.size());
    ASSERT_TRUE(fw::PumpUntil([&] { return s_keyReleases >= static_cast<int>(keys.size()); }, 5000));
    fw::PumpPending();
}

void PopupTest::SetUpTestSuite() {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    s_gdiplus = std::make_unique<pw::gdip::Session>();
    s_keyHook = SetWindowsHookExW(WH_KEYBOARD, CountReleases, nullptr, GetCurrentThreadId());
}

void PopupTest::TearDownTestSuite() {
    UnhookWindowsHookEx(s_keyHook);
    s_gdiplus.reset();
}

void PopupTest::SetUp() {
    UseLanguage(L"English");
    // The program folder's artwork, so that every window has its real size and pictures.
    ASSERT_TRUE(UiPicture(L"keyboard.bmp").size() > 0) << "run from the program folder";
}

void PopupTest::TearDown() {
    fw::PumpPending();
    UseLanguage(L"English");
}

void PopupTest::UseLanguage(const wchar_t* name,
                            std::initializer_list<std::pair<const wchar_t*, const wchar_t*>> texts) {
    // No language file: SetLanguage with the current name keeps these texts.
    CMultiLanguage::s_strLanguageFile = L"C:\\pw-no-such-folder\\pairwright.ini";
    CMultiLanguage::s_strLanguage = name;
    CMultiLanguage::s_texts.clear();
    for (const auto& [key, text] : texts)
        CMultiLanguage::s_texts[key] = text;
}

} // namespace pwtest
