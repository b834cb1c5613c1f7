// The scrolling frame under the platform: bars appear and go with the frame's
// size, scroll messages and the wheel move the child, positions stay in range.
#include <gtest/gtest.h>

#include "controls/PictureBox.h"
#include "controls/ScrollFrame.h"
#include "tests/win/ControlTestHost.h"

using px::test::TestHost;
using px::win::ScrollFrame;

namespace {

POINT ChildOrigin(const ScrollFrame& frame) {
    RECT r;
    ::GetWindowRect(frame.Child(), &r);
    POINT p{r.left, r.top};
    ::ScreenToClient(frame.hwnd(), &p);
    return p;
}

bool HasBar(const ScrollFrame& frame, LONG_PTR bit) { return (::GetWindowLongPtrW(frame.hwnd(), GWL_STYLE) & bit) != 0; }

// A 300 x 200 frame holding a child of the given size.
struct FrameWithChild {
    FrameWithChild(int childW, int childH) : host(40, 40, 700, 600) {
        EXPECT_TRUE(frame.Create(host.hwnd(), 1, 0, 0, 300, 200));
        EXPECT_TRUE(child.Create(host.hwnd(), 2, 0, 0, childW, childH));
        frame.SetChild(child.hwnd());
    }
    TestHost host;
    ScrollFrame frame;
    px::win::PictureBox child;
};

}  // namespace

TEST(ScrollFrame, BarsFollowTheFrameSizeAndTheChildMovesWithThem) {
    FrameWithChild f(500, 400);
    ScrollFrame& frame = f.frame;
    EXPECT_EQ(::GetParent(f.child.hwnd()), frame.hwnd());
    EXPECT_TRUE(HasBar(frame, WS_HSCROLL));
    EXPECT_TRUE(HasBar(frame, WS_VSCROLL));

    RECT client;
    ::GetClientRect(frame.hwnd(), &client);
    struct Case {
        UINT msg;
        WORD code;
        int thumb;
        POINT origin;
    } cases[] = {
        {WM_HSCROLL, SB_LINEDOWN, 0, {-ScrollFrame::kLine, 0}},
        {WM_VSCROLL, SB_PAGEDOWN, 0, {-ScrollFrame::kLine, -client.bottom}},
        {WM_VSCROLL, SB_BOTTOM, 0, {-ScrollFrame::kLine, -(400 - client.bottom)}},
        {WM_VSCROLL, SB_LINEDOWN, 0, {-ScrollFrame::kLine, -(400 - client.bottom)}},  // already at the end
        {WM_HSCROLL, SB_TOP, 0, {0, -(400 - client.bottom)}},
        {WM_VSCROLL, SB_PAGEUP, 0, {0, -(400 - 2 * client.bottom)}},
    };
    for (auto& c : cases) {
        ::SendMessageW(frame.hwnd(), c.msg, MAKEWPARAM(c.code, c.thumb), 0);
        POINT o = ChildOrigin(frame);
        EXPECT_EQ(o.x, c.origin.x) << c.msg << "/" << c.code;
        EXPECT_EQ(o.y, c.origin.y) << c.msg << "/" << c.code;
        EXPECT_EQ(::GetScrollPos(frame.hwnd(), SB_VERT), -o.y);
    }

    // The wheel scrolls back up; wheel notches are lines.
    ::SendMessageW(frame.hwnd(), WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
    EXPECT_GT(ChildOrigin(frame).y, -(400 - 2 * client.bottom));

    // Larger than the child: no bars, the child back at the corner.
    ::MoveWindow(frame.hwnd(), 0, 0, 600, 500, TRUE);
    EXPECT_FALSE(HasBar(frame, WS_HSCROLL));
    EXPECT_FALSE(HasBar(frame, WS_VSCROLL));
    EXPECT_EQ(ChildOrigin(frame).x, 0);
    EXPECT_EQ(ChildOrigin(frame).y, 0);

    // Wide enough but not tall enough: the vertical bar alone, unless it makes the width too small.
    ::MoveWindow(frame.hwnd(), 0, 0, 560, 300, TRUE);
    EXPECT_FALSE(HasBar(frame, WS_HSCROLL));
    EXPECT_TRUE(HasBar(frame, WS_VSCROLL));
    RECT edge;
    ::GetWindowRect(frame.hwnd(), &edge);
    ::GetClientRect(frame.hwnd(), &client);
    const int border = (edge.right - edge.left) - client.right - ::GetSystemMetrics(SM_CXVSCROLL);
    ::MoveWindow(frame.hwnd(), 0, 0, 500 + border + ::GetSystemMetrics(SM_CXVSCROLL) - 1, 300, TRUE);
    EXPECT_TRUE(HasBar(frame, WS_HSCROLL)) << "the vertical bar leaves too little width";
    EXPECT_TRUE(HasBar(frame, WS_VSCROLL));
}

TEST(ScrollFrame, AResizedChildIsScrolledWithinItsNewSize) {
    FrameWithChild f(1000, 1000);
    ScrollFrame& frame = f.frame;
    frame.ScrollTo(900, 900);
    POINT scrolled = frame.ScrollPosition();
    EXPECT_GT(scrolled.x, 600);
    f.child.Resize(400, 300);
    frame.ChildResized();
    POINT p = frame.ScrollPosition();
    EXPECT_EQ(p.x, frame.Layout().maxPosition.x);
    EXPECT_EQ(p.y, frame.Layout().maxPosition.y);
    EXPECT_LT(p.x, 400);
    EXPECT_EQ(ChildOrigin(frame).x, -p.x);
}
