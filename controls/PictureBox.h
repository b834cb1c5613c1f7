#pragma once
// A picture box with a persistent drawing surface: everything drawn on it goes
// into a memory bitmap in the display's format, and the window is painted from
// that bitmap, so drawings survive being covered or scrolled away. It carries
// the pen (colour, width, current position) and the font that drawing and text
// output use, and reports the mouse to its owner.
#include <windows.h>

#include <string>

#include "base/Event.h"
#include "base/win/ScopedWin.h"
#include "base/win/Window.h"

namespace px::win {

class PictureBox : public Window {
public:
    PictureBox() = default;
    ~PictureBox() override;

    bool Create(HWND parent, int id, int x, int y, int w, int h, DWORD extraStyle = 0);

    // The surface always has the client area's size; resizing keeps what fits.
    void Resize(int w, int h);
    SIZE SurfaceSize() const noexcept { return {surfaceW_, surfaceH_}; }
    // Draws into the surface directly (the caller keeps the DC's selections balanced).
    HDC SurfaceDC() const noexcept { return surface_.dc(); }
    // Copies `picture` onto the surface at (0, 0).
    void SetPicture(HBITMAP picture);
    // The surface's content as a new bitmap in the display's format.
    ScopedBitmap CopyImage() const;
    COLORREF PixelAt(int x, int y) const;

    // Setting the back colour clears the surface to it, as a picture box does.
    COLORREF BackColor() const noexcept { return backColor_; }
    void SetBackColor(COLORREF c);
    COLORREF ForeColor() const noexcept { return foreColor_; }
    void SetForeColor(COLORREF c);
    int DrawWidth() const noexcept { return drawWidth_; }
    void SetDrawWidth(int w);
    POINT CurrentPosition() const noexcept { return current_; }
    void SetCurrentPosition(int x, int y) { current_ = {x, y}; }

    // Font of text output: face, size in points and style bits (px::FontStyleBit).
    const std::wstring& FontName() const noexcept { return fontName_; }
    void SetFontName(const std::wstring& name);
    double FontSize() const noexcept { return fontSize_; }
    void SetFontSize(double points);
    int FontStyle() const noexcept { return fontStyle_; }
    void SetFontStyle(int bits);

    // Clears to the back colour; the current position returns to (0, 0).
    void Cls();
    // A line in the fore colour from the current position to (x, y), both ends
    // included; the current position moves to (x, y).
    void LineTo(int x, int y);
    void Circle(int cx, int cy, int radius);
    // Text output in the fore colour on a transparent background: every line
    // starts at the current x, each below the previous one; afterwards the
    // current position is at the start of the next line.
    void PrintText(const std::wstring& text);

    // Cursor shown over the picture (nullptr: the arrow).
    void SetCursorShape(LPCWSTR standardCursor);
    // Paints the window from the surface now, without waiting for a paint message.
    void RefreshNow();

    // Mouse notifications: button (1 left, 2 right, 4 middle; for moves the
    // buttons held), shift (1 shift, 2 ctrl), x, y in client pixels. A press
    // holds the mouse until every button is released.
    Event<int, int, int, int> MouseDown;
    Event<int, int, int, int> MouseMove;
    Event<int, int, int, int> MouseUp;
    Event<> Click;

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    void OnFinalDestroy() override;

private:
    void ResizeSurface(int w, int h);
    void Paint(HDC dc, const RECT& area);
    void FreeSurface();
    HFONT CurrentFont();
    void Invalidate(const RECT& r);
    void OnMouseDown(int button, WPARAM wp, LPARAM lp);
    void OnMouseUp(int button, WPARAM wp, LPARAM lp);

    MemoryBitmapDC surface_;
    int surfaceW_ = 0, surfaceH_ = 0;

    COLORREF backColor_ = ::GetSysColor(COLOR_BTNFACE);
    COLORREF foreColor_ = RGB(0, 0, 0);
    int drawWidth_ = 1;
    POINT current_{0, 0};
    std::wstring fontName_ = L"MS Sans Serif";
    double fontSize_ = 8.0;
    int fontStyle_ = 0;
    ScopedFont font_;  // built from the three above when text is printed
    LPCWSTR cursor_ = nullptr;
    bool pressedLeft_ = false;
};

}  // namespace px::win
