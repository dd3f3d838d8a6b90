#include "tests/lang/language_folder.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

using Files = std::vector<std::pair<std::wstring, std::wstring>>;

struct LoadCase {
    const char* name;
    Files files; // pairwright.ini is the language file; the others are reached through includes
    std::wstring language;
    pw::TextMap texts;
};

std::vector<LoadCase> LoadCases() {
    const std::wstring kept(259, L'k');
    return {
        {"SectionAndKeyNamesIgnoreCase",
         {{L"pairwright.ini",
           L"[language]\ndefault=Arabic\n[ARABIC]\nid1=IDOK\ntext1=\u0645\u0648\u0627\u0641\u0642\n"}},
         L"Arabic",
         {{L"IDOK", L"\u0645\u0648\u0627\u0641\u0642"}}},
        {"NoLanguageSectionMeansEnglish",
         {{L"pairwright.ini",
           L"[English]\nID1=IDC_BTN_FINISH\nTEXT1=Done\n[French]\nID1=IDOK\nTEXT1=D'accord\n"}},
         L"English",
         {{L"IDC_BTN_FINISH", L"Done"}}},
        {"NumberingStopsAtTheFirstGap",
         {{L"pairwright.ini",
           L"[English]\nID1=IDOK\nTEXT1=Okay\nID2=IDCANCEL\nTEXT2=Stop\nID4=ID_DONE\nTEXT4=Finished\n"}},
         L"English",
         {{L"IDOK", L"Okay"}, {L"IDCANCEL", L"Stop"}}},
        {"EmptyOrMissingTextAddsNothing",
         {{L"pairwright.ini", L"[English]\nID1=IDOK\nID2=IDCANCEL\nTEXT2=\nID3=ID_DONE\nTEXT3=Finished\n"}},
         L"English",
         {{L"ID_DONE", L"Finished"}}},
        {"EmptyKeyEndsTheScan",
         {{L"pairwright.ini", L"[English]\nID1=\nTEXT1=Lost\nID2=IDOK\nTEXT2=Okay\n"}},
         L"English",
         {}},
        {"FirstOfTwoEntriesForAKeyWins",
         {{L"pairwright.ini",
           L"[English]\nID1=IDOK\nTEXT1=first\nID2=IDCANCEL\nTEXT2=x\nID3=IDOK\nTEXT3=second\n"}},
         L"English",
         {{L"IDOK", L"first"}, {L"IDCANCEL", L"x"}}},
        {"BlanksAndEnclosingQuotesAreDropped",
         {{L"pairwright.ini",
           L"[English]\nID1 =  IDOK  \nTEXT1 = \"  Okay \"\nID2=IDCANCEL\nTEXT2='Stop'\n"}},
         L"English",
         {{L"IDOK", L"  Okay "}, {L"IDCANCEL", L"Stop"}}},
        {"LongValueIsCutTo259",
         {{L"pairwright.ini", L"[English]\nID1=IDOK\nTEXT1=" + kept + std::wstring(41, L'x') + L"\n"}},
         L"English",
         {{L"IDOK", kept}}},
        {"MainFileOverIncludesAndEarlierIncludeOverLater",
         {{L"pairwright.ini",
           L"[English]\nID1=IDOK\nTEXT1=main\n[include]\ninclude1=a.ini\ninclude2=b.ini\n"},
          {L"a.ini", L"[English]\nID1=IDOK\nTEXT1=a\nID2=IDCANCEL\nTEXT2=a\n[include]\ninclude1=c.ini\n"},
          {L"b.ini", L"[English]\nID1=IDCANCEL\nTEXT1=b\nID2=ID_DONE\nTEXT2=b\nID3=ID_LEARN_PAIR\nTEXT3=b\n"},
          {L"c.ini", L"[English]\nID1=ID_DONE\nTEXT1=c\n"}},
         L"English",
         {{L"IDOK", L"main"}, {L"IDCANCEL", L"a"}, {L"ID_DONE", L"c"}, {L"ID_LEARN_PAIR", L"b"}}},
        {"IncludesResolveAgainstTheFolderOfTheNamingFile",
         {{L"pairwright.ini", L"[include]\ninclude1=missing.ini\ninclude2=more\\a.ini\n"},
          {L"more\\a.ini", L"[English]\nID1=IDOK\nTEXT1=a\n[include]\ninclude1=b.ini\n"},
          {L"more\\b.ini", L"[English]\nID1=IDCANCEL\nTEXT1=beside a\n"},
          {L"b.ini", L"[English]\nID1=IDCANCEL\nTEXT1=beside the language file\n"}},
         L"English",
         {{L"IDOK", L"a"}, {L"IDCANCEL", L"beside a"}}},
        {"IncludedFilesNeverChooseTheLanguage",
         {{L"pairwright.ini", L"[include]\ninclude1=a.ini\n"},
          {L"a.ini",
           L"[Language]\nDefault=Arabic\n[Arabic]\nID1=IDOK\nTEXT1=x\n[English]\nID1=IDOK\nTEXT1=Okay\n"}},
         L"English",
         {{L"IDOK", L"Okay"}}},
        {"IncludeCyclesEnd",
         {{L"pairwright.ini",
           L"[English]\nID1=IDOK\nTEXT1=main\n[include]\ninclude1=pairwright.ini\ninclude2=a.ini\n"},
          {L"a.ini",
           L"[English]\nID1=IDCANCEL\nTEXT1=a\n[include]\ninclude1=.\\PAIRWRIGHT.INI\ninclude2=more\\..\\a."
           L"ini\ninclude3=b.ini\n"},
          {L"b.ini", L"[English]\nID1=ID_DONE\nTEXT1=b\n[include]\ninclude1=a.ini\ninclude2=b.ini\n"}},
         L"English",
         {{L"IDOK", L"main"}, {L"IDCANCEL", L"a"}, {L"ID_DONE", L"b"}}},
        {"EmptyDefaultLeavesTheTableEmpty",
         {{L"pairwright.ini", L"[Language]\nDefault=\n[English]\nID1=IDOK\nTEXT1=Okay\n"}},
         L"",
         {}},
    };
}

TEST(LanguageFile, LoadsTextsByTheNumberedKeysAndIncludes) {
    for (const LoadCase& c : LoadCases()) {
        SCOPED_TRACE(c.name);
        pwtest::LanguageFolder folder;
        for (const auto& [path, text] : c.files)
            folder.Put(path, text);
        folder.SetLanguage(L"");
        EXPECT_EQ(folder.Language(), c.language);
        EXPECT_EQ(folder.Texts(), c.texts);
        EXPECT_EQ(folder.Value(L"Language", L"Default"), c.language);
    }
}

TEST(LanguageFile, MissingFileIsCreatedNamingEnglish) {
    pwtest::LanguageFolder folder;
    folder.SetLanguage(L"");
    EXPECT_EQ(folder.Language(), L"English");
    EXPECT_TRUE(folder.Texts().empty());
    EXPECT_EQ(folder.Sections(), std::vector<std::wstring>{L"Language"});
    EXPECT_EQ(folder.Value(L"Language", L"Default"), L"English");
}

TEST(LanguageFile, ReloadsOnlyForANewNameOrNone) {
    pwtest::LanguageFolder folder;
    folder.Put(L"pairwright.ini", L"[Language]\nDefault=English\n[English]\nID1=IDOK\nTEXT1=Okay\n"
                                  L"[Arabic]\nID1=IDOK\nTEXT1=\u0645\u0648\u0627\u0641\u0642\n");
    folder.SetLanguage(L"");
    EXPECT_EQ(folder.Texts().at(L"IDOK"), L"Okay");

    folder.Write(L"English", L"TEXT1", L"Fine");
    folder.SetLanguage(L"English");
    EXPECT_EQ(folder.Texts().at(L"IDOK"), L"Okay") << "same name: nothing reloaded";

    folder.SetLanguage(L"");
    EXPECT_EQ(folder.Texts().at(L"IDOK"), L"Fine") << "no name: reloaded from \"Default\"";

    folder.SetLanguage(L"Arabic");
    EXPECT_EQ(folder.Language(), L"Arabic");
    EXPECT_EQ(folder.Texts(), (pw::TextMap{{L"IDOK", L"\u0645\u0648\u0627\u0641\u0642"}}));
    EXPECT_EQ(folder.Value(L"Language", L"Default"), L"Arabic");

    folder.SetLanguage(L"");
    EXPECT_EQ(folder.Language(), L"Arabic") << "the written-back name is the next start's language";
}

} // namespace
