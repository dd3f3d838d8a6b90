#include "lang/text_format.h"
#include "lang/text_keys.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

const std::wstring kName = L"Vorn QT 1 Keyboard";
const std::wstring kDefault = L"Your %s is now added and ready for use.";

struct FormatCase {
    const wchar_t* format;
    const wchar_t* shown;
};

TEST(FormatWithName, GoodFormatsTakeTheNameOnce) {
    const FormatCase cases[] = {
        {L"Your %s is now added.", L"Your Vorn QT 1 Keyboard is now added."},
        {L"%s", L"Vorn QT 1 Keyboard"},
        {L"Added without a name.", L"Added without a name."},
        {L"100%% ready: %s", L"100% ready: Vorn QT 1 Keyboard"},
        {L"%%s stays literal", L"%s stays literal"},
        {L"", L""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "format #" << (&c - cases));
        EXPECT_TRUE(pw::IsNameFormat(c.format));
        EXPECT_EQ(pw::FormatWithName(c.format, kName, kDefault), c.shown);
    }
}

TEST(FormatWithName, BadFormatsGiveWayToTheDefault) {
    const wchar_t* bad[] = {
        L"%d devices", L"%n%n%s%d", L"%s%s", L"%s and %s", L"50% off %s", L"ends in %", L"%S",
        L"%ls",        L"%-20s",    L"%.3s", L"%*s",       L"%p",         L"%x%s",
    };
    const std::wstring expected = L"Your Vorn QT 1 Keyboard is now added and ready for use.";
    for (const wchar_t* format : bad) {
        SCOPED_TRACE(testing::Message() << "format #" << (&format - bad));
        EXPECT_FALSE(pw::IsNameFormat(format));
        EXPECT_EQ(pw::FormatWithName(format, kName, kDefault), expected);
    }
    // A bad default too: the text shows as it stands rather than reading anything.
    EXPECT_EQ(pw::FormatWithName(L"%d", kName, L"%n"), L"%d");
}

TEST(FormatWithName, PerCentInTheNameIsNotReadAsAFormat) {
    EXPECT_EQ(pw::FormatWithName(L"Your %s is ready.", L"Vorn 100%s%d Mouse", kDefault),
              L"Your Vorn 100%s%d Mouse is ready.");
}

TEST(Compositions, ArgumentTextsShowPerCentSignsUnchanged) {
    EXPECT_EQ(pw::ComposeNameThenText(kName, L"Detected!"), L"Vorn QT 1 Keyboard Detected!");
    EXPECT_EQ(pw::ComposeNameThenText(kName, L"100%s %d% found"), L"Vorn QT 1 Keyboard 100%s %d% found");
    EXPECT_EQ(pw::ComposeQuestion(L"Remove", kName), L"Remove Vorn QT 1 Keyboard?");
    EXPECT_EQ(pw::ComposeQuestion(L"%n%s Remove", L"Vorn % Mouse"), L"%n%s Remove Vorn % Mouse?");
    EXPECT_EQ(pw::ComposeCounts(2, L"keybaords", 1, L"Mice"), L"2 keybaords, 1 Mice");
    EXPECT_EQ(pw::ComposeCounts(0, L"%s%%", -3, L"%d"), L"0 %s%%, -3 %d");
}

TEST(Compositions, DisplayNamesTrimTheNameAndEndInTheKindText) {
    const struct {
        const wchar_t* name;
        const wchar_t* kind;
        const wchar_t* shown;
    } cases[] = {
        {L"QT 5      ", L"Mouse", L"Vorn QT 5 Mouse"},
        {L" \t\nQT 1\n\t ", L"Keyboard", L"Vorn QT 1 Keyboard"},
        {L"QT  7", L"", L"Vorn QT  7 "}, // inner blanks stay; another kind has no kind text
        {L"   ", L"Mouse", L"Vorn  Mouse"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(pw::ComposeDisplayName(c.name, c.kind), c.shown) << testing::PrintToString(c.name);
}

TEST(ExpandLineFeeds, OnlyBackslashNBecomesALineFeed) {
    EXPECT_EQ(pw::ExpandLineFeeds(L"1. Locate\\n\\n2. Slide"), L"1. Locate\n\n2. Slide");
    EXPECT_EQ(pw::ExpandLineFeeds(L"a\\tb\\\\nc\\"), L"a\\tb\\\nc\\");
}

TEST(TextTable, KeysAreUniqueAndFormatsHoldOneName) {
    std::set<std::wstring> keys;
    for (const pw::TextEntry& e : pw::kTextTable) {
        SCOPED_TRACE(testing::Message() << "row " << static_cast<int>(e.id));
        EXPECT_TRUE(keys.insert(e.key).second) << "duplicate key";
        ASSERT_NE(e.english, nullptr);
        EXPECT_NE(*e.english, L'\0');
        const bool formats = e.use == pw::TextUse::Format;
        for (const wchar_t* text : {e.english, e.englishOther}) {
            if (!text) continue;
            EXPECT_EQ(std::wstring(text).find(L'%') != std::wstring::npos, formats);
            if (formats) {
                EXPECT_TRUE(pw::IsNameFormat(text));
                EXPECT_NE(std::wstring(text).find(L"%s"), std::wstring::npos);
            }
        }
    }
    EXPECT_EQ(keys.size(), 49u);
    EXPECT_STREQ(pw::EnglishDefault(pw::TextKey::Keyboards), L"keybaords");
    EXPECT_STREQ(pw::EnglishDefault(pw::TextKey::Ok, pw::TextDefault::Other), L"OK");
    EXPECT_STREQ(pw::EnglishDefault(pw::TextKey::InsertTip, pw::TextDefault::Other),
                 L"Please Plug in a Vorn Veltrane Receiver to get started.");
}

} // namespace
