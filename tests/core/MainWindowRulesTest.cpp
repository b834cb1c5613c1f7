#include <gtest/gtest.h>

#include <set>
#include <string>

#include "app/core/PrintPlacement.h"
#include "app/core/TrayMenuTable.h"
#include "app/core/ZoomSteps.h"

namespace px {

TEST(ZoomSteps, FortyStepsInFromActualReachTheTopAndTheNextChangesNothing) {
    int z = kZoomActual;
    for (int i = 0; i < 40; ++i) {
        auto next = ZoomInStep(z);
        ASSERT_TRUE(next.has_value()) << "step " << i;
        z = *next;
    }
    EXPECT_EQ(z, 500);
    EXPECT_EQ(ZoomLabelText(z), L"500%");
    EXPECT_FALSE(ZoomInStep(z).has_value());
}

TEST(ZoomSteps, InAndOutAtTheEdges) {
    struct Case {
        int level;
        std::optional<int> in;
        int out;
    } cases[] = {
        {10, 20, 10},  {20, 30, 10},   {100, 110, 90}, {490, 500, 480},
        {491, std::nullopt, 481},  // levels set from elsewhere still obey "above 490"
        {500, std::nullopt, 490},
    };
    for (auto& c : cases) {
        EXPECT_EQ(ZoomInStep(c.level), c.in) << c.level;
        EXPECT_EQ(ZoomOutStep(c.level), c.out) << c.level;
    }
}

TEST(ZoomSteps, NineStepsOutFromActualReachTheBottom) {
    int z = kZoomActual;
    for (int i = 0; i < 9; ++i) z = ZoomOutStep(z);
    EXPECT_EQ(z, 10);
    EXPECT_EQ(ZoomOutStep(z), 10);
    EXPECT_EQ(ZoomLabelText(ZoomOutStep(z)), L"10%");
}

TEST(TrayMenuTable, EntriesInOrderWithTwoBlanksAndPositionalIds) {
    const wchar_t* captions[] = {L"  Capture Selection", L"  Capture Screen", L"  Capture Active ",
                                 L"  Show Window",       L"  Copy to Clipboard", L"  Zoom Tool",
                                 L" ",                   L"  How to Use",        L"  Ordering Information",
                                 L"  License Agreement", L" ",                   L"  About",
                                 L"  Exit"};
    ASSERT_EQ(kTrayMenu.size(), 13u);
    for (size_t i = 0; i < kTrayMenu.size(); ++i) {
        EXPECT_EQ(kTrayMenu[i].caption, captions[i]) << i;
        bool separator = i == 6 || i == 10;
        EXPECT_EQ(kTrayMenu[i].kind, separator ? kTrayEntrySeparator : kTrayEntryCommand) << i;
        EXPECT_EQ(kTrayMenu[i].command.has_value(), !separator) << i;
    }
    EXPECT_EQ(TrayCommandId(1), 1010000000L);
    EXPECT_EQ(TrayCommandId(13), 1130000000L);
    // Nine icons, each used once; positions 9 and 10 and the separators have none.
    std::set<int> icons;
    for (auto& e : kTrayMenu)
        if (e.icon) {
            EXPECT_TRUE(icons.insert(e.icon).second);
        }
    EXPECT_EQ(icons, (std::set<int>{1, 2, 3, 4, 5, 6, 7, 8, 9}));
    EXPECT_EQ(kTrayMenu[8].icon, 0);
    EXPECT_EQ(kTrayMenu[9].icon, 0);
}

TEST(TrayMenuTable, CommandIdsDispatchAndUnknownOnesAreIgnored) {
    struct Case {
        long id;
        std::optional<TrayCommand> command;
    } cases[] = {
        {1010000000, TrayCommand::CaptureSelection},
        {1020000000, TrayCommand::CaptureScreen},
        {1030000000, TrayCommand::CaptureActive},
        {1040000000, TrayCommand::ShowWindow},
        {1050000000, TrayCommand::CopyToClipboard},
        {1060000000, TrayCommand::ZoomTool},
        {1070000000, std::nullopt},  // separator
        {1080000000, TrayCommand::HowToUse},
        {1090000000, TrayCommand::OrderingInformation},
        {1100000000, TrayCommand::LicenseAgreement},
        {1110000000, std::nullopt},  // separator
        {1120000000, TrayCommand::About},
        {1130000000, TrayCommand::Exit},
        {1000000000, std::nullopt},
        {1140000000, std::nullopt},
        {1010000001, std::nullopt},
        {1, std::nullopt},
        {0, std::nullopt},
        {-1010000000, std::nullopt},
    };
    for (auto& c : cases) EXPECT_EQ(TrayCommandFromId(c.id), c.command) << c.id;
}

TEST(PrintPlacement, PictureIsScaledToThePrinterAndCentred) {
    struct Case {
        long w, h;
        int sdx, sdy, pdx, pdy;
        long sl, st, sw, sh;
        PrintPlacement want;
    } cases[] = {
        // 96 dpi screen, 600 dpi printer, A4 printable area: 100 x 50 px -> 625 x 313 (312.5 ties to even: 312)
        {100, 50, 96, 96, 600, 600, 0, 0, 4760, 6779, {(4760 - 625) / 2, (6779 - 312) / 2, 625, 312}},
        // same resolution: the picture keeps its size
        {640, 480, 96, 96, 96, 96, 0, 0, 800, 1000, {80, 260, 640, 480}},
        // offset printable area
        {10, 10, 96, 96, 96, 96, 5, 7, 20, 30, {10, 17, 10, 10}},
        // wider than the page: truncating division toward zero of a negative number
        {1001, 10, 96, 96, 96, 96, 0, 0, 800, 100, {-100, 45, 1001, 10}},
        // a device that reports no resolution keeps the pixel size
        {30, 40, 96, 96, 0, 0, 0, 0, 100, 100, {35, 30, 30, 40}},
    };
    for (auto& c : cases) {
        PrintPlacement p = CentrePictureOnPage(c.w, c.h, c.sdx, c.sdy, c.pdx, c.pdy, c.sl, c.st, c.sw, c.sh);
        EXPECT_EQ(p.left, c.want.left);
        EXPECT_EQ(p.top, c.want.top);
        EXPECT_EQ(p.width, c.want.width);
        EXPECT_EQ(p.height, c.want.height);
    }
}

}  // namespace px
