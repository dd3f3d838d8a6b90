#include "lang/text_format.h"
#include "tests/lang/language_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <type_traits>
#include <vector>

namespace {

using pw::TextKey;

const std::wstring kName = L"Vorn QT 7 Mouse";

TEST(MultiLanguage, AppliesTextsOnEveryCallAndTellsRightToLeft) {
    const struct {
        const wchar_t* language;
        bool rightToLeft;
    } cases[] = {
        {L"Arabic", true}, {L"arabic", true}, {L"ARABIC", true}, {L"English", false}, {L"Arabic2", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.language);
        pwtest::LanguageFolder folder;
        folder.Put(L"pairwright.ini", std::wstring(L"[Language]\nDefault=") + c.language + L"\n[" +
                                          c.language + L"]\nID1=IDOK\nTEXT1=x\n");
        folder.SetLanguage(L"");
        EXPECT_EQ(CMultiLanguage::IsRightToLeft(), c.rightToLeft);
        EXPECT_EQ(CMultiLanguage::GetText(TextKey::Ok), L"x");
        folder.SetLanguage(folder.Language());
        EXPECT_EQ(folder.Applied(), 2);
    }
}

TEST(MultiLanguage, WindowsAskByKeyWithTheirOwnDefault) {
    pwtest::LanguageFolder folder;
    folder.SetLanguage(L"");
    EXPECT_EQ(CMultiLanguage::GetText(TextKey::InsertTip), L"Please insert your receiver to add device.");
    EXPECT_EQ(CMultiLanguage::GetText(TextKey::InsertTip, pw::TextDefault::Other),
              L"Please Plug in a Vorn Veltrane Receiver to get started.");

    folder.Write(L"English", L"ID1", L"IDC_STATIC_INSERT_TIP");
    folder.Write(L"English", L"TEXT1", L"Plug it in.");
    folder.SetLanguage(L"");
    EXPECT_EQ(CMultiLanguage::GetText(TextKey::InsertTip), L"Plug it in.");
    EXPECT_EQ(CMultiLanguage::GetText(TextKey::InsertTip, pw::TextDefault::Other), L"Plug it in.");
    EXPECT_EQ(CMultiLanguage::GetText(L"idc_static_insert_tip", L"exact keys only"), L"exact keys only");
}

TEST(MultiLanguage, BadFormatTranslationsFallBackAndArgumentsStayLiteral) {
    pwtest::LanguageFolder folder;
    folder.Put(L"pairwright.ini", L"[English]\n"
                                  L"ID1=IDC_STATIC_SUCCESS_COMMENT\nTEXT1=%n%n%s%d\n"
                                  L"ID2=IDC_DEVICE_LIMITED_TITLE\nTEXT2=Cannot be added!\n"
                                  L"ID3=IDC_STATIC_FAILED_MSG_TITLE\nTEXT3=100%% %s\n"
                                  L"ID4=IDC_STATIC_REDANT_INFO\nTEXT4=%s is %s\n"
                                  L"ID5=IDC_STATIC_MORE_DG_INFO\nTEXT5=Remove 50% of %s\n"
                                  L"ID6=IDC_STATIC_DEVICE_NAME\nTEXT6=found 100%s%n\n"
                                  L"ID7=IDC_STATIC_ASK\nTEXT7=%d Remove\n"
                                  L"ID8=IDS_KEYBOARD_S\nTEXT8=%s keys\n"
                                  L"ID9=IDS_MOUSE_S\nTEXT9=mice %\n");
    folder.SetLanguage(L"");
    const struct {
        TextKey key;
        const wchar_t* shown;
    } formats[] = {
        {TextKey::SuccessComment, L"Your Vorn QT 7 Mouse is now added and ready for use."},
        {TextKey::DeviceLimitedTitle, L"Cannot be added!"},
        {TextKey::FailedMsgTitle, L"100% Vorn QT 7 Mouse"},
        {TextKey::RedundantInfo, L"Vorn QT 7 Mouse is already connected to this adapter."},
        {TextKey::MultipleInfo,
         L"Please only insert the receiver you would like to add Vorn QT 7 Mouse to, and remove the other "
         L"receivers."},
    };
    for (const auto& f : formats)
        EXPECT_EQ(CMultiLanguage::FormatText(f.key, kName), f.shown);

    EXPECT_EQ(pw::ComposeNameThenText(kName, CMultiLanguage::GetText(TextKey::DeviceDetected)),
              L"Vorn QT 7 Mouse found 100%s%n");
    EXPECT_EQ(pw::ComposeQuestion(CMultiLanguage::GetText(TextKey::RemoveAsk), kName),
              L"%d Remove Vorn QT 7 Mouse?");
    EXPECT_EQ(pw::ComposeCounts(3, CMultiLanguage::GetText(TextKey::Keyboards), 1,
                                CMultiLanguage::GetText(TextKey::Mice)),
              L"3 %s keys, 1 mice %");
}

TEST(MultiLanguage, DisplayNamesReadTheRecordAndTheKindTextOfTheLanguage) {
    CMultiLanguage::s_texts.clear(); // the English defaults
    pw::DeviceSlotRecord record{};
    const char name[] = "  QT 5 padded       "; // all 20 bytes used: no terminator in the field
    std::memcpy(record.name, name, sizeof record.name);
    record.kind = pw::kKindMouse;
    EXPECT_EQ(CMultiLanguage::DeviceDisplayName(record), L"Vorn QT 5 padded Mouse");
    record.kind = pw::kKindKeyboard;
    std::memcpy(record.name, "QT 1\0garbage", 12);
    EXPECT_EQ(CMultiLanguage::DeviceDisplayName(record), L"Vorn QT 1 Keyboard");
    record.kind = 7;
    EXPECT_EQ(CMultiLanguage::DeviceDisplayName(record), L"Vorn QT 1 ");
}

TEST(MultiLanguage, MissingFolderLeavesTheDefaults) {
    pwtest::LanguageFolder folder;
    CMultiLanguage::s_strLanguageFile = folder.Path(L"lan\\pairwright.ini");
    folder.SetLanguage(L"");
    EXPECT_EQ(folder.Language(), L"English");
    EXPECT_EQ(CMultiLanguage::GetText(TextKey::Finish), L"Finish");
    EXPECT_EQ(folder.Applied(), 1);
    EXPECT_FALSE(std::filesystem::exists(folder.Path(L"lan")));
}

bool HasArabicLetter(const std::wstring& text) {
    return std::any_of(text.begin(), text.end(), [](wchar_t c) { return c >= 0x0621 && c <= 0x064A; });
}

struct DcDeleter {
    void operator()(HDC dc) const { DeleteDC(dc); }
};
struct GdiDeleter {
    void operator()(HGDIOBJ object) const { DeleteObject(object); }
};
struct SelectionDeleter {
    HDC dc;
    void operator()(HGDIOBJ previous) const { SelectObject(dc, previous); }
};

// Characters of text that the skinned controls' font has no glyph for.
std::wstring MissingInTahoma(const std::wstring& text) {
    const std::unique_ptr<std::remove_pointer_t<HDC>, DcDeleter> dc(CreateCompatibleDC(nullptr));
    const std::unique_ptr<std::remove_pointer_t<HFONT>, GdiDeleter> font(
        CreateFontW(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Tahoma"));
    const std::unique_ptr<void, SelectionDeleter> selection(SelectObject(dc.get(), font.get()),
                                                            SelectionDeleter{dc.get()});
    wchar_t face[LF_FACESIZE] = {};
    GetTextFaceW(dc.get(), LF_FACESIZE, face);
    if (std::wstring(face) != L"Tahoma") return L"(no Tahoma)";
    std::vector<WORD> glyphs(text.size());
    GetGlyphIndicesW(dc.get(), text.c_str(), static_cast<int>(text.size()), glyphs.data(),
                     GGI_MARK_NONEXISTING_GLYPHS);
    std::wstring missing;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (glyphs[i] == 0xFFFF) missing += text[i];
    }
    return missing;
}

TEST(ShippedFiles, EveryKeyHasAnEnglishAndAnArabicText) {
    pwtest::LanguageFolder folder;
    for (const auto& shipped :
         std::filesystem::directory_iterator(std::filesystem::path(PW_SHIPPED_LAN_DIR))) {
        std::filesystem::copy_file(shipped.path(), folder.Path(shipped.path().filename().wstring()));
    }

    folder.SetLanguage(L"");
    ASSERT_EQ(folder.Language(), L"English");
    EXPECT_FALSE(CMultiLanguage::IsRightToLeft());
    EXPECT_EQ(folder.Texts().size(), pw::kTextTable.size());
    // The shipped English file spells out what the built-in default misspells.
    const std::map<std::wstring_view, std::wstring_view> corrected = {{L"IDS_KEYBOARD_S", L"Keyboards"}};
    for (const pw::TextEntry& e : pw::kTextTable) {
        const auto fix = corrected.find(e.key);
        EXPECT_EQ(CMultiLanguage::GetText(e.key, L"<none>"), fix == corrected.end() ? e.english : fix->second)
            << e.key;
    }

    ASSERT_EQ(MissingInTahoma(L"ok \u0915"), L"\u0915") << "the glyph check must see a letter Tahoma lacks";
    folder.Write(L"Language", L"Default", L"Arabic");
    folder.SetLanguage(L"");
    ASSERT_EQ(folder.Language(), L"Arabic");
    EXPECT_TRUE(CMultiLanguage::IsRightToLeft());
    EXPECT_EQ(folder.Texts().size(), pw::kTextTable.size());
    for (const pw::TextEntry& e : pw::kTextTable) {
        const std::wstring text = CMultiLanguage::GetText(e.key, L"<none>");
        EXPECT_TRUE(HasArabicLetter(text)) << e.key;
        EXPECT_EQ(MissingInTahoma(text), L"") << e.key;
        EXPECT_LT(text.size(), pw::kProfileBufferChars - 1) << e.key;
        if (e.use == pw::TextUse::Format) {
            EXPECT_TRUE(pw::IsNameFormat(text)) << e.key;
            EXPECT_NE(text.find(L"%s"), std::wstring::npos) << e.key;
        } else {
            EXPECT_EQ(text.find(L'%'), std::wstring::npos) << e.key;
        }
    }
}

} // namespace
