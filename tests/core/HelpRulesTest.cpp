// The HTML Help object's portable rules: help-file names, display targets,
// message texts, version comparison and the friendly-name tables.
#include <gtest/gtest.h>

#include "help/core/HelpRules.h"

namespace px::help {
namespace {

TEST(HelpRules, HelpFileNameIsJudgedByItsLastThreeCharacters) {
    struct Case { const wchar_t* name; bool ok; } cases[] = {
        {L"C:\\p\\Help\\Pixtrel.chm", true}, {L"Pixtrel.CHM", true}, {L"x.ChM", true}, {L"chm", true},
        {L"achm", true},  // no dot needed: only the last three characters count
        {L"Pixtrel.chw", false}, {L"Pixtrel.hlp", false}, {L"Pixtrel.chm ", false}, {L"hm", false}, {L"", false},
    };
    for (auto& c : cases) EXPECT_EQ(IsHelpFileName(c.name), c.ok) << c.name;
}

TEST(HelpRules, TargetNamesTheWindowUnlessItIsBlank) {
    struct Case { const wchar_t* window; const wchar_t* target; } cases[] = {
        {L"", L"a.chm"}, {L"   ", L"a.chm"}, {L"Main", L"a.chm>Main"}, {L"  Main ", L"a.chm>Main"},
        {L"Two Words", L"a.chm>Two Words"},
    };
    for (auto& c : cases) EXPECT_EQ(DisplayTarget(L"a.chm", c.window), c.target) << c.window;
}

TEST(HelpRules, PathPartsAndJoining) {
    EXPECT_EQ(BareFileName(L"C:\\a\\b\\Pixtrel.chm"), L"Pixtrel.chm");
    EXPECT_EQ(BareFileName(L"Pixtrel.chm"), L"Pixtrel.chm");
    EXPECT_EQ(BareFileName(L"C:\\a\\"), L"");
    EXPECT_EQ(FolderOfFile(L"C:\\a\\b\\Pixtrel.chm"), L"C:\\a\\b");
    EXPECT_EQ(FolderOfFile(L"Pixtrel.chm"), L"");
    EXPECT_EQ(JoinPath(L"C:\\a", L"x.chm"), L"C:\\a\\x.chm");
    EXPECT_EQ(JoinPath(L"C:\\a\\", L"x.chm"), L"C:\\a\\x.chm");
    EXPECT_EQ(JoinPath(L"", L"x.chm"), L"x.chm");
}

TEST(HelpRules, MessageTexts) {
    EXPECT_EQ(NotAHelpFileText(L"C:\\x.txt"), L"C:\\x.txt is not a valid HTML Help file.");
    EXPECT_EQ(FileMissingText(L"C:\\p\\Help\\Pixtrel.chm"),
              L"The file C:\\p\\Help\\Pixtrel.chm does not exist.\nPlease make sure the correct path and file name "
              L"have been specified.");
    EXPECT_EQ(NoWindowHandleText(), L"No HTML Help window handle to retrieve.");
    EXPECT_EQ(AlreadyRegisteredText(L"a.chm"),
              L"The file a.chm is already registered.  HHRegister will not be run as no action need be taken.");
    EXPECT_EQ(NotRegisteredText(L"a.chm"),
              L"The file a.chm is not registered.  HHUnRegister will not be run as no action need be taken.");
    EXPECT_EQ(HhctrlNotRegisteredText(), L"Hhctrl.ocx is not registered.  Please install HTML Help.");
    EXPECT_EQ(ShdocvwNotRegisteredText(), L"Shdocvw.dll is not registered.  Please install Internet Explorer.");
    EXPECT_EQ(HhctrlMovedText(), L"Hhctrl.ocx is not in its registered location.  Please reinstall HTML Help.");
    EXPECT_EQ(ShdocvwMovedText(),
              L"Internet Explorer is not in its registered location.  Please reinstall Internet Explorer.");
    EXPECT_EQ(TopicNotShownText(L"a.chm", 9), L"Topic 9 could not be shown from a.chm.");
}

TEST(HelpRules, VersionPartsAreNumbers) {
    EXPECT_EQ(VersionParts("4.74.8702.00"), (std::vector<uint32_t>{4, 74, 8702, 0}));
    EXPECT_EQ(VersionParts("5.00.2919.800"), (std::vector<uint32_t>{5, 0, 2919, 800}));
    EXPECT_EQ(VersionParts("6.3.9600.16384 (winblue_rtm.130821-1623)"), (std::vector<uint32_t>{6, 3, 9600, 16384}));
    EXPECT_EQ(VersionParts("5"), (std::vector<uint32_t>{5}));
    EXPECT_EQ(VersionParts("x.1"), (std::vector<uint32_t>{0, 1}));
    EXPECT_EQ(VersionParts("99999999999.1"), (std::vector<uint32_t>{UINT32_MAX, 1}));
}

TEST(HelpRules, VersionsAreComparedPartByPartNumerically) {
    struct Case { const char* installed; const char* minimum; bool ok; } cases[] = {
        {"4.74.8702.00", "4.74.8702.00", true},
        {"4.74.8702.00", "4.74.8702", true},     // missing parts are 0
        {"4.74.8702", "4.74.8702.1", false},
        {"5.00.2919.6307", "5.0.2919.800", true},  // 6307 > 800 although "6" < "8" as text
        {"5.00.2919.800", "5.0.2919.6307", false},
        {"10.0", "9.9", true},                   // "10" < "9" as text
        {"4.72.7290.00", "4.73", false},
        {"4.73.0.0", "4.72.9999.99", true},
        {"", "1.0", false},
        {"1.0", "", true},
    };
    for (auto& c : cases) EXPECT_EQ(VersionAtLeast(c.installed, c.minimum), c.ok) << c.installed << " vs " << c.minimum;
}

// The friendly names come from fixed tables; what matters is how a version is matched against them:
// as the exact text the file reports (no numeric equivalence, no trimming), with anything else unknown.
TEST(HelpRules, FriendlyNamesMatchTheReportedTextExactly) {
    struct Case { std::string (*name)(std::string_view); const char* version; const char* expected; } cases[] = {
        {HHFriendlyName, "4.72.7290.00", "1.0"},    // first row
        {HHFriendlyName, "4.74.8702.00", "1.3"},    // last row
        {HHFriendlyName, "4.74.8702.0", "unknown"}, // same number, different text
        {HHFriendlyName, "4.74.8702.00 ", "unknown"},
        {HHFriendlyName, "", "unknown"},
        {HHFriendlyName, "4.70.1155.0000", "unknown"},  // a browser version is not a help-control version
        {IEFriendlyName, "4.70.1155.0000", "3.0"},
        {IEFriendlyName, "4.70.1300.0000", "3.02"},     // two builds share one name
        {IEFriendlyName, "5.00.2919.800", "5.x (Windows 2000 RC1, build 5.00.2072)"},
        {IEFriendlyName, "5.00.2919.0800", "unknown"},  // leading zero makes it another text
        {IEFriendlyName, "6.0.2900.2180", "unknown"},
        {IEFriendlyName, "4.72.7290.00", "unknown"},
        {IEFriendlyName, "", "unknown"},
    };
    for (auto& c : cases) EXPECT_EQ(c.name(c.version), c.expected) << c.version;
}

}  // namespace
}  // namespace px::help
