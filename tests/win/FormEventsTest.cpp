// What every form gives its owner: Closed after an unload, and its DPI with
// the re-layout hook on WM_DPICHANGED.
#include <gtest/gtest.h>

#include <vector>

#include "base/win/Form.h"
#include "base/Dpi.h"

namespace {
class ProbeForm : public px::win::Form {
public:
    std::vector<UINT> dpiChanges;
    bool unloadRan = false;
    bool loadedAtClosed = true;

protected:
    void CreateFormWindow() override {
        RegisterClassOnce(L"PxProbeForm");
        CreateWindowObject(L"PxProbeForm", L"Probe", WS_OVERLAPPEDWINDOW, 0, 10, 10, 200, 120, nullptr, nullptr);
    }
    void Form_Unload() override { unloadRan = true; }
    void Form_DpiChanged(UINT dpi) override { dpiChanges.push_back(dpi); }
};
}  // namespace

TEST(FormEvents, ClosedIsRaisedOncePerUnloadAfterTheWindowIsGone) {
    ProbeForm form;
    int closed = 0;
    form.Closed.connect([&] {
        ++closed;
        form.loadedAtClosed = form.IsLoaded();
    });
    const int before = px::win::Form::LoadedCount();
    for (int round = 1; round <= 3; ++round) {
        form.Load();
        ASSERT_TRUE(form.IsLoaded());
        EXPECT_EQ(closed, round - 1) << "loading raises nothing";
        form.Unload();
        EXPECT_EQ(closed, round);
        EXPECT_TRUE(form.unloadRan);
        EXPECT_FALSE(form.loadedAtClosed);
        EXPECT_EQ(px::win::Form::LoadedCount(), before);
    }
    form.Unload();  // not loaded: nothing to report
    EXPECT_EQ(closed, 3);
}

TEST(FormEvents, ClosedAlsoFollowsADestroyFromOutside) {
    ProbeForm form;
    int closed = 0;
    form.Closed.connect([&] { ++closed; });
    form.Load();
    ::DestroyWindow(form.hwnd());
    EXPECT_EQ(closed, 1);
}

TEST(FormEvents, DpiAndScaleFollowTheWindow) {
    ProbeForm form;
    const UINT screenDpi = form.Dpi();  // before the window exists: the screen's
    EXPECT_GE(screenDpi, 96u);
    form.Load();
    EXPECT_EQ(form.Dpi(), screenDpi);
    EXPECT_EQ(form.Scale(20), px::ScaleForDpi(20, static_cast<int>(screenDpi)));
    form.Unload();
}

TEST(FormEvents, DpiChangeMovesToTheSuggestedRectangleThenRelaysOut) {
    ProbeForm form;
    form.Load();
    RECT suggested{30, 40, 330, 220};
    ::SendMessageW(form.hwnd(), WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
    RECT now{};
    ::GetWindowRect(form.hwnd(), &now);
    EXPECT_EQ(now.left, 30);
    EXPECT_EQ(now.top, 40);
    EXPECT_EQ(now.right - now.left, 300);
    EXPECT_EQ(now.bottom - now.top, 180);
    ASSERT_EQ(form.dpiChanges.size(), 1u);
    EXPECT_EQ(form.dpiChanges[0], 144u);
    form.Unload();
}
