#pragma once
// cNCCalcSize: the frame manager. It takes over the non-client area of one
// window through the subclassing service and asks an INCAreaModifier (found
// through the window property "orixCNCImplementation", which holds no
// reference) for margins, painting, hit codes and clicks. Two modes:
// ECNCModifyNonClientArea replaces the system frame; ECNCUseClientArea keeps
// it and only reports activation, hit tests and clicks.
// Creatable through COM as veltrim.cNCCalcSize.
#include <windows.h>

#include <vector>

#include "base/win/ScopedWin.h"
#include "skin/ComObject.h"
#include "skin/SubTimer.h"
#include "skin/core/NCFrameGeometry.h"
#include "skin/veltrim_h.h"

namespace veltrim {

inline constexpr wchar_t kImplementationProperty[] = L"orixCNCImplementation";

class cNCCalcSize final : public ComObjectBase,
                          public DispatchFor<_cNCCalcSize>,
                          public ISubclassSink,
                          public ISupportErrorInfo {
public:
    static constexpr wchar_t kClassName[] = L"cNCCalcSize";
    cNCCalcSize();

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override { return AddRefCount(); }
    STDMETHODIMP_(ULONG) Release() override { return ReleaseCount(); }
    STDMETHODIMP InterfaceSupportsErrorInfo(REFIID iid) override;

    // _cNCCalcSize
    STDMETHODIMP Redraw(long hwnd) override;
    STDMETHODIMP Display(IDispatch* f) override;
    STDMETHODIMP get_WindowActive(VARIANT_BOOL* active) override;
    STDMETHODIMP get_AppActive(VARIANT_BOOL* active) override;
    STDMETHODIMP TitleBarMouseDown() override;
    STDMETHODIMP SysCommand(ECNCSysCommandConstants eCmd) override;
    STDMETHODIMP Attach(_INCAreaModifier* iTo) override;
    STDMETHODIMP get_hMenu(long* hMenu) override;
    STDMETHODIMP Detach() override;
    STDMETHODIMP DefaultNCPaint(long hdc, long lLeft, long lTop, long lRight, long lBottom) override;
    STDMETHODIMP GetImplementation(_INCAreaModifier** iTo, VARIANT_BOOL* found) override;

    // ISubclassSink
    long MsgResponse() override;
    LRESULT WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) override;

    // Library-internal: the implementation's answer to an Alt+key, 0 without one.
    long AltKeyAccelerator(long vKey);
    bool IsWindowActive() const { return windowActive_; }
    // Library-internal: Display right after Attach. When Attach took the menu off
    // the window, the platform has already recalculated the frame through this
    // manager (SetMenu does), so only the form is refreshed.
    void DisplayAfterAttach(IDispatch* f);
    HWND ManagedWindow() const { return hwnd_; }

protected:
    void FinalRelease() override { DetachNow(); }

private:
    std::vector<UINT> SubscribedMessages() const;
    void DetachNow();
    px::win::ScopedComPtr<_INCAreaModifier> Implementation() const;
    bool UpdateMaximisedMdiChild();
    void RepaintFrame() { WindowProc(hwnd_, WM_NCPAINT, 0, 0); }
    LRESULT Default(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
        return SubclassRegistry::ForThread().CallPreviousProc(hwnd, msg, wp, lp);
    }
    int HitCode(HWND hwnd, POINT screen, _INCAreaModifier* impl);
    core::Margins CurrentMargins();

    LRESULT ModifyAreaProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    void ClientAreaProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    void OnNcCalcSize(WPARAM wp, LPARAM lp);
    void OnNcPaint(HWND hwnd);
    LRESULT OnNcHitTest(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    LRESULT OnSetCursor(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    LRESULT OnNcLButtonDown(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    void OnNcLButtonUp(HWND hwnd, LPARAM lp);
    void MoveLoop(HWND hwnd, POINT cursorStart);
    void NudgeMouse();
    void EnsureMemoryDC(int width, int height);

    // The frame metrics, read at Attach and Display: under Wine each read of a
    // system metric costs tens of microseconds, too much for every hit test.
    struct FrameMetrics {
        int cxFrame = 4, cyFrame = 4, cyCaption = 18, cxScreen = 1024;
    };
    void ReadMetrics();
    static void RefreshForm(IDispatch* f);

    FrameMetrics metrics_;
    HWND hwnd_ = nullptr;
    HWND mdiClient_ = nullptr;
    bool mdiChild_ = false;
    bool sizeSubscribed_ = false;
    HMENU hMenu_ = nullptr;
    bool menuTakenAtAttach_ = false;
    bool windowActive_ = false;
    bool appActive_ = false;
    bool maximisedMdiChild_ = false;
    ECNCDrawMethodConstants method_ = ECNCModifyNonClientArea;
    core::Margins margins_{};
    int lastHitCode_ = 1;
    int nudgeX_ = 1, nudgeY_ = 1;
    bool insideCursorHandling_ = false;
    // Caption work surface of the plain frame; grows to the widest window painted.
    px::win::MemoryBitmapDC memory_;
    int memWidth_ = 0, memHeight_ = 0;
};

}  // namespace veltrim
