#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/core/ProgramPaths.h"
#include "app/core/ShutdownOrder.h"

namespace px {

TEST(ProgramPaths, FilesHangOffTheProgramFolder) {
    struct Case {
        std::wstring module, folder;
    } cases[] = {
        {L"C:\\Program Files\\Orvo\\Orvo-Pixtrel.exe", L"C:\\Program Files\\Orvo"},
        {L"C:\\Orvo-Pixtrel.exe", L"C:"},
        {L"\\\\server\\share\\x\\Orvo-Pixtrel.exe", L"\\\\server\\share\\x"},
        {L"Orvo-Pixtrel.exe", L"."},
    };
    for (auto& c : cases) {
        ProgramPaths p{FolderOfModulePath(c.module)};
        EXPECT_EQ(p.folder, c.folder);
        EXPECT_EQ(p.ScratchBitmapPath(), c.folder + L"\\Data\\temp.bmp");
        EXPECT_EQ(p.StartPicturePath(), c.folder + L"\\Data\\pixtrel-window.gif");
        EXPECT_EQ(p.HelpFilePath(), c.folder + L"\\Help\\Pixtrel.chm");
    }
}

TEST(ShutdownOrder, RunsSlotsInTheFixedOrderWhateverTheRegistrationOrder) {
    ShutdownOrder order;
    std::vector<std::string> ran;
    order.Register(ShutdownSlot::CaptionDetach, [&] { ran.push_back("detach"); });
    order.Register(ShutdownSlot::zoom, [&] { ran.push_back("zoom"); });
    order.Register(ShutdownSlot::TrayIcon, [&] { ran.push_back("tray"); });
    order.Register(ShutdownSlot::Desktop, [&] { ran.push_back("desktop"); });
    order.Register(ShutdownSlot::HelpWindows, [&] { ran.push_back("help"); });
    order.Register(ShutdownSlot::ViewCleanUp, [&] { ran.push_back("view"); });
    order.Run();
    EXPECT_EQ(ran, (std::vector<std::string>{"desktop", "zoom", "help", "tray", "view", "detach"}));
    EXPECT_TRUE(order.Empty());
    order.Run();  // a second run finds nothing left to do
    EXPECT_EQ(ran.size(), 6u);
}

TEST(ShutdownOrder, AnActionMayRegisterLaterWorkThatStillRuns) {
    ShutdownOrder order;
    std::vector<int> ran;
    order.Register(ShutdownSlot::Form1, [&] {
        ran.push_back(1);
        order.Register(ShutdownSlot::TrayIcon, [&] { ran.push_back(2); });
    });
    order.Run();
    EXPECT_EQ(ran, (std::vector<int>{1, 2}));
}

}  // namespace px
