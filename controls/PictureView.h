#pragma once
// The picture view of the main window (picMV): shows a bitmap or GIF file at
// a zoom percentage on a background colour, centred while it fits, with
// scroll bars and panning by dragging when it is larger than the view.
//
//     picMV.Create(hwnd(), x, y, w, h);
//     picMV.SetBackColor(0x9C8E85);
//     picMV.LoadFile(path);
//     picMV.SetZoom(picMV.Zoom() + 10);
//
// The file is decoded by the platform's picture objects and copied once into
// a 32-bit buffer of the view; the file is not kept open.
#include <windows.h>

#include <string>

#include "base/win/ScopedWin.h"
#include "base/win/Window.h"
#include "controls/core/PictureViewGeometry.h"

namespace px::win {

class PictureView : public Window {
public:
    static constexpr wchar_t kClassName[] = L"PxPictureView";
    static constexpr int kMinZoom = 1, kMaxZoom = 1000;

    PictureView() = default;
    ~PictureView() override;

    bool Create(HWND parent, int x, int y, int w, int h, int id = 0);

    // Displays the picture of a bitmap or GIF file, replacing the previous one.
    // Returns false and keeps the previous picture when the file cannot be read.
    bool LoadFile(const std::wstring& path);
    // The view gives up its picture (and the memory behind it).
    void CleanUp();
    bool HasPicture() const noexcept { return static_cast<bool>(picture_); }
    SIZE PictureSize() const noexcept { return SIZE{picW_, picH_}; }

    // Display scale in percent (100: one view pixel per picture pixel).
    int Zoom() const noexcept { return zoom_; }
    void SetZoom(int percent);
    COLORREF BackColor() const noexcept { return backColor_; }
    void SetBackColor(COLORREF c);

    POINT ScrollPosition() const noexcept { return POINT{layout_.scrollX, layout_.scrollY}; }
    void SetScrollPosition(int x, int y);
    const controls::ViewLayout& Layout() const noexcept { return layout_; }

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void UserControl_Paint(HDC dc, const RECT& area);
    void UserControl_Size();
    void UserControl_Scroll(int bar, int request);
    void UserControl_MouseDown(LPARAM lp);
    void UserControl_MouseMove(LPARAM lp);
    void UserControl_MouseUp();
    void UserControl_MouseWheel(int bar, int delta);
    bool UserControl_SetCursor();

    // Lays the picture out for the current client size and brings the scroll bars in line.
    void Relayout(int scrollX, int scrollY);
    bool CanPan() const noexcept { return layout_.maxScrollX > 0 || layout_.maxScrollY > 0; }

    // The picture, held in a memory DC; the DC's first bitmap goes back in before either is deleted.
    MemoryBitmapDC picture_;
    int picW_ = 0, picH_ = 0;
    void ReleasePicture();

    int zoom_ = 100;
    COLORREF backColor_ = RGB(0x85, 0x8E, 0x9C);
    ScopedBrush backBrush_;
    controls::ViewLayout layout_;
    bool panning_ = false;
    POINT panStart_{};
    POINT panScroll_{};
};

}  // namespace px::win
