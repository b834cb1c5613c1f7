#include "capture/Desktop.h"

#include <windowsx.h>

#include <algorithm>

#include "capture/Monitors.h"
#include "capture/core/OverlayDamage.h"

namespace px {

using capture::Point;
using capture::Rect;
using capture::SelectionShape;

namespace {

constexpr UINT_PTR kTimerGridId = 1;
constexpr UINT_PTR kTimerEntireId = 2;
constexpr UINT kTimerGridMs = 100;
constexpr UINT kTimerEntireMs = 100;

constexpr COLORREF kGridColor = RGB(224, 224, 224);
constexpr COLORREF kLabelBack = RGB(255, 255, 225);
constexpr COLORREF kLabelText = RGB(0, 0, 0);
constexpr COLORREF kLabelBorder = RGB(118, 118, 118);
constexpr COLORREF kMagnifierFrame = RGB(64, 64, 64);
constexpr int kLabelPadX = 3, kLabelPadY = 1;

constexpr int kPenStyles[] = {PS_SOLID, PS_DASH, PS_DOT, PS_DASHDOT};

Point PointFromLParam(LPARAM lp) { return {GET_X_LPARAM(lp), GET_Y_LPARAM(lp)}; }

RECT ToRECT(const Rect& r) { return {r.left, r.top, r.right, r.bottom}; }

bool IsRound(SelectionShape s) { return s == SelectionShape::Ellipse || s == SelectionShape::Circle; }

}  // namespace

Desktop& Desktop::Get() {
    static Desktop form;
    return form;
}

void Desktop::CreateFormWindow() {
    const wchar_t* cls = L"OrvoPixtrel.Desktop";
    // No background brush: every pixel comes from the canvas.
    RegisterClassOnce(cls, 0, nullptr, nullptr, ::LoadCursorW(nullptr, IDC_CROSS));
    // Over every monitor; created hidden, so the screen is copied before the overlay covers it.
    layout_ = QueryScreenLayout();
    monitors_.clear();
    for (const Rect& m : layout_.monitors) monitors_.push_back(capture::ToOverlay(m, layout_.bounds));
    const Rect& b = layout_.bounds;
    CreateWindowObject(cls, L"Desktop", WS_POPUP, WS_EX_TOPMOST | WS_EX_TOOLWINDOW, b.left, b.top, b.width(),
                       b.height(), nullptr, nullptr);
}

void Desktop::Begin(const CaptureOptions& options, std::function<void(win::ScopedBitmap)> onCaptured,
                    std::function<void()> onCancelled) {
    options_ = options;
    shape_ = options_.shape;
    onCaptured_ = std::move(onCaptured);
    onCancelled_ = std::move(onCancelled);
    if (IsLoaded()) {
        // A second capture while the overlay is up keeps the frozen desktop
        // (the screen now shows the overlay itself) and starts over.
        ResetSelection();
        if (!PrepareDrawingObjects()) return Cancel();
        Render();
    } else {
        Load();
        if (!IsLoaded() || !frozen_.IsCreated()) return Cancel();
    }
    TimerGrid.start(hwnd(), kTimerGridId, kTimerGridMs);
    if (shape_ == SelectionShape::Entire) TimerEntire.start(hwnd(), kTimerEntireId, kTimerEntireMs);
    Show(SW_SHOW);
    ::SetFocus(hwnd());
}

void Desktop::Form_Load() {
    const Rect& b = layout_.bounds;
    const int w = b.width(), h = b.height();
    ResetSelection();
    if (!frozen_.Create(w, h) || !canvas_.Create(w, h) || !magnifier_.Create(capture::kMagnifierSize,
                                                                              capture::kMagnifierSize) ||
        !PrepareDrawingObjects()) {
        frozen_.Reset();
        return;
    }
    {
        // Monitor by monitor, each at its place in the copy; what no monitor
        // shows (between monitors of different sizes) is black.
        win::ScopedGetDC screen(nullptr);
        for (const Rect& m : layout_.monitors)
            ::BitBlt(frozen_.dc(), m.left - b.left, m.top - b.top, m.width(), m.height(), screen, m.left, m.top,
                     SRCCOPY);
        for (const Rect& r : capture::UncoveredParts(b, layout_.monitors))
            ::PatBlt(frozen_.dc(), r.left - b.left, r.top - b.top, r.width(), r.height(), BLACKNESS);
    }
    ::GdiFlush();
    const Rect all{0, 0, w, h};
    capture::RestoreRects(canvas_.pixels(), frozen_.constPixels(), {&all, 1});
    ::SetStretchBltMode(magnifier_.dc(), COLORONCOLOR);
}

void Desktop::Form_Unload() {
    TimerGrid.stop();
    TimerEntire.stop();
    if (::GetCapture() == hwnd()) ::ReleaseCapture();
    frozen_.Reset();
    canvas_.Reset();
    magnifier_.Reset();
    lassoPen_.reset();
    gridPen_.reset();
    labelFont_.reset();
    drawn_.clear();
    dragging_ = false;
    onCaptured_ = nullptr;
    onCancelled_ = nullptr;
}

bool Desktop::PrepareDrawingObjects() {
    lassoPen_.reset(::CreatePen(kPenStyles[capture::LassoLineStyle(options_.drStyle)], 1, options_.lassoColor));
    gridPen_.reset(::CreatePen(PS_SOLID, 1, kGridColor));
    if (!labelFont_) {
        NONCLIENTMETRICSW ncm{};
        ncm.cbSize = sizeof(ncm);
        ::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(ncm), &ncm, 0);
        labelFont_.reset(::CreateFontIndirectW(&ncm.lfStatusFont));
    }
    return lassoPen_ && gridPen_ && labelFont_;
}

void Desktop::ResetSelection() {
    dragging_ = false;
    bandShown_ = gridShown_ = false;
    magnifierShown_ = labelsShown_ = false;
    TimerEntire.stop();
}

LRESULT Desktop::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN: Form_MouseDown(PointFromLParam(lp)); return 0;
    case WM_MOUSEMOVE: Form_MouseMove(PointFromLParam(lp)); return 0;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP: Form_MouseUp(PointFromLParam(lp)); return 0;
    case WM_KEYDOWN: Form_KeyDown(static_cast<UINT>(wp)); return 0;
    case WM_TIMER:
        if (wp == kTimerGridId) TimerGrid_Timer();
        else if (wp == kTimerEntireId) TimerEntire_Timer();
        return 0;
    case WM_PAINT: Form_Paint(); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_CLOSE: Cancel(); return 0;  // closed by the user: as Escape
    }
    return Form::HandleMessage(msg, wp, lp);
}

void Desktop::Form_MouseDown(Point p) {
    if (shape_ == SelectionShape::Entire) return;  // the whole screen is taken at the first TimerEntire tick
    start_ = p;
    Cls();
    dragging_ = true;
    ::SetCapture(hwnd());
    Render();
}

void Desktop::Form_MouseMove(Point p) {
    if (!dragging_) return;
    Cls();
    const Point end = capture::BandEnd(shape_, start_, p);
    controls_ = capture::ControlsLayout(start_, p);
    magnifierShown_ = magnifierShown_ || options_.magnifier;
    if (options_.details) {
        labelsShown_ = true;
        coordinatesText_ = capture::CoordinatesText(capture::ToScreen(p, layout_.bounds));
        // The height the release will capture, which for square and circle is the width.
        sizeText_ = capture::SizeText(start_, end);
        coordinatesRect_ = LabelRect(controls_.coordinatesLabel, coordinatesText_);
        sizeRect_ = LabelRect(controls_.sizeLabel, sizeText_);
    }
    KeepControlsOnMonitor(p);
    bandShown_ = shape_ != SelectionShape::Other;
    bandEnd_ = end;
    Render(options_.magnifier);
}

void Desktop::KeepControlsOnMonitor(Point cursor) {
    const int at = capture::MonitorAt(monitors_, cursor);
    if (at < 0) return;
    Rect box = controls_.magnifierFrame;
    auto include = [&box](const Rect& r) {
        box = {std::min(box.left, r.left), std::min(box.top, r.top), std::max(box.right, r.right),
               std::max(box.bottom, r.bottom)};
    };
    if (labelsShown_) {
        include(coordinatesRect_);
        include(sizeRect_);
    }
    const Point d = capture::ShiftOntoMonitor(box, monitors_[static_cast<size_t>(at)], monitors_);
    if (d.x == 0 && d.y == 0) return;
    // The magnifier still looks round the cursor; only where it is shown moves.
    controls_.magnifierFrame = controls_.magnifierFrame.offset(d.x, d.y);
    controls_.magnifierPicture = controls_.magnifierPicture.offset(d.x, d.y);
    coordinatesRect_ = coordinatesRect_.offset(d.x, d.y);
    sizeRect_ = sizeRect_.offset(d.x, d.y);
}

void Desktop::Form_MouseUp(Point p) {
    // A release without a press on the overlay (the button went down before it
    // appeared) has no start point to measure from.
    if (!dragging_) return;
    if (::GetCapture() == hwnd()) ::ReleaseCapture();
    Cls();
    if (p.x == start_.x || p.y == start_.y) {  // zero width or height: try again
        dragging_ = false;
        Render();
        return;
    }
    if (shape_ == SelectionShape::Other) return Cancel();
    const Point end = capture::BandEnd(shape_, start_, p);
    Render();
    win::ScopedBitmap picture = CopyRegion(capture::SelectionRect(start_, end), IsRound(shape_));
    dragging_ = false;
    if (!picture) return Cancel();
    Deliver(std::move(picture));
}

void Desktop::Form_KeyDown(UINT key) {
    if (key == VK_ESCAPE) Cancel();
}

void Desktop::Form_Paint() {
    win::ScopedPaint paint(hwnd());
    const RECT& r = paint.ps().rcPaint;
    if (canvas_.IsCreated())
        ::BitBlt(paint, r.left, r.top, r.right - r.left, r.bottom - r.top, canvas_.dc(), r.left, r.top, SRCCOPY);
}

void Desktop::TimerGrid_Timer() {
    if (!options_.grid || gridShown_) return;  // a grid already on the surface stays as it is
    gridShown_ = true;
    Render();
}

void Desktop::TimerEntire_Timer() {
    TimerEntire.stop();
    Cls();
    Render();
    win::ScopedBitmap picture = CopyRegion({0, 0, frozen_.width(), frozen_.height()}, false);
    if (!picture) return Cancel();
    Deliver(std::move(picture));
}

void Desktop::Cls() { bandShown_ = gridShown_ = false; }

void Desktop::Render(bool resampleMagnifier) {
    if (!canvas_.IsCreated()) return;
    const int w = canvas_.width(), h = canvas_.height();
    const Rect screen{0, 0, w, h};

    // What this frame will cover, before drawing it.
    std::vector<Rect> cover;
    if (bandShown_) {
        cover = IsRound(shape_) ? capture::EllipseOutlineCover(capture::EllipseBox(start_, bandEnd_), 1)
                                : capture::RectangleOutlineCover(start_, bandEnd_, 1);
    }
    if (gridShown_) {
        auto grid = capture::GridCover(w, h, options_.gridSpacing);
        cover.insert(cover.end(), grid.begin(), grid.end());
    }
    if (magnifierShown_) cover.push_back(controls_.magnifierFrame);
    if (labelsShown_) {
        cover.push_back(coordinatesRect_);
        cover.push_back(sizeRect_);
    }
    cover = capture::ClipRects(cover, screen);

    ::GdiFlush();
    if (fullRedraw_)
        capture::RestoreRects(canvas_.pixels(), frozen_.constPixels(), {&screen, 1});
    else
        capture::RestoreRects(canvas_.pixels(), frozen_.constPixels(), drawn_);

    HDC dc = canvas_.dc();
    if (bandShown_) DrawBand(dc);
    if (gridShown_) DrawGrid(dc);
    // The magnifier looks at the screen as it now is: band and grid included.
    if (resampleMagnifier) SampleMagnifier();
    DrawControls(dc);
    ::GdiFlush();

    std::vector<Rect> present;
    if (fullRedraw_) {
        present.push_back(screen);
    } else {
        // Last frame's pixels go back to the desktop, this frame's show up; most overlap.
        present = drawn_;
        present.insert(present.end(), cover.begin(), cover.end());
        present = capture::MergeRects(present);
    }
    Present(present);
    drawn_ = std::move(cover);
}

void Desktop::DrawBand(HDC dc) const {
    win::ScopedSelectObject pen(dc, lassoPen_.get());
    win::ScopedSelectObject brush(dc, ::GetStockObject(NULL_BRUSH));
    const int oldMode = ::SetBkMode(dc, TRANSPARENT);
    if (IsRound(shape_)) {
        ::Ellipse(dc, start_.x, start_.y, bandEnd_.x, bandEnd_.y);
    } else {
        const POINT corners[] = {{start_.x, start_.y},
                                 {bandEnd_.x, start_.y},
                                 {bandEnd_.x, bandEnd_.y},
                                 {start_.x, bandEnd_.y},
                                 {start_.x, start_.y}};
        ::Polyline(dc, corners, 5);
    }
    ::SetBkMode(dc, oldMode);
}

void Desktop::DrawGrid(HDC dc) const {
    const int w = canvas_.width(), h = canvas_.height();
    std::vector<POINT> points;
    std::vector<DWORD> counts;
    for (int p : capture::GridLinePositions(h, options_.gridSpacing)) {
        points.push_back({0, p});
        points.push_back({w, p});
        counts.push_back(2);
    }
    for (int p : capture::GridLinePositions(w, options_.gridSpacing)) {
        points.push_back({p, 0});
        points.push_back({p, h});
        counts.push_back(2);
    }
    if (counts.empty()) return;
    win::ScopedSelectObject pen(dc, gridPen_.get());
    ::PolyPolyline(dc, points.data(), counts.data(), static_cast<DWORD>(counts.size()));
}

void Desktop::SampleMagnifier() {
    const Rect source = controls_.magnifierSource;
    const Rect visible = capture::Intersect(source, {0, 0, canvas_.width(), canvas_.height()});
    HDC dc = magnifier_.dc();
    const RECT all{0, 0, capture::kMagnifierSize, capture::kMagnifierSize};
    // Off the screen edge the magnifier shows black rather than whatever the copy leaves.
    if (visible != source) ::FillRect(dc, &all, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
    if (visible.empty()) return;
    const int zoom = capture::kMagnifierSize / capture::kMagnifierSourceSize;
    ::StretchBlt(dc, (visible.left - source.left) * zoom, (visible.top - source.top) * zoom, visible.width() * zoom,
                 visible.height() * zoom, canvas_.dc(), visible.left, visible.top, visible.width(), visible.height(),
                 SRCCOPY);
}

void Desktop::DrawControls(HDC dc) const {
    if (magnifierShown_) {
        const RECT frame = ToRECT(controls_.magnifierFrame);
        ::SetDCBrushColor(dc, kMagnifierFrame);
        ::FillRect(dc, &frame, static_cast<HBRUSH>(::GetStockObject(DC_BRUSH)));
        const Rect& pic = controls_.magnifierPicture;
        ::BitBlt(dc, pic.left, pic.top, pic.width(), pic.height(), magnifier_.dc(), 0, 0, SRCCOPY);
    }
    if (labelsShown_) {
        win::ScopedSelectObject font(dc, labelFont_.get());
        const int oldMode = ::SetBkMode(dc, TRANSPARENT);
        const COLORREF oldText = ::SetTextColor(dc, kLabelText);
        auto label = [&](const Rect& r, const std::wstring& text) {
            RECT box = ToRECT(r);
            ::SetDCBrushColor(dc, kLabelBack);
            ::FillRect(dc, &box, static_cast<HBRUSH>(::GetStockObject(DC_BRUSH)));
            ::SetDCBrushColor(dc, kLabelBorder);
            ::FrameRect(dc, &box, static_cast<HBRUSH>(::GetStockObject(DC_BRUSH)));
            RECT inner{box.left + kLabelPadX, box.top + kLabelPadY, box.right - kLabelPadX, box.bottom - kLabelPadY};
            ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &inner, DT_LEFT | DT_TOP | DT_NOPREFIX);
        };
        label(coordinatesRect_, coordinatesText_);
        label(sizeRect_, sizeText_);
        ::SetTextColor(dc, oldText);
        ::SetBkMode(dc, oldMode);
    }
}

Rect Desktop::LabelRect(Point at, const std::wstring& text) const {
    HDC dc = canvas_.dc();
    win::ScopedSelectObject font(dc, labelFont_.get());
    RECT r{0, 0, 0, 0};
    ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, DT_CALCRECT | DT_LEFT | DT_TOP | DT_NOPREFIX);
    return capture::RectAt(at.x, at.y, r.right - r.left + 2 * kLabelPadX, r.bottom - r.top + 2 * kLabelPadY);
}

void Desktop::Present(const std::vector<Rect>& rects) {
    if (rects.empty() || !IsLoaded()) return;
    // One copy through a clip region of all rectangles instead of one per rectangle.
    std::vector<char> buffer(sizeof(RGNDATAHEADER) + rects.size() * sizeof(RECT));
    auto* data = reinterpret_cast<RGNDATA*>(buffer.data());
    data->rdh.dwSize = sizeof(RGNDATAHEADER);
    data->rdh.iType = RDH_RECTANGLES;
    data->rdh.nCount = static_cast<DWORD>(rects.size());
    data->rdh.nRgnSize = static_cast<DWORD>(rects.size() * sizeof(RECT));
    Rect bound = rects.front();
    auto* out = reinterpret_cast<RECT*>(data->Buffer);
    for (size_t i = 0; i < rects.size(); ++i) {
        const Rect& r = rects[i];
        out[i] = ToRECT(r);
        bound = {std::min(bound.left, r.left), std::min(bound.top, r.top), std::max(bound.right, r.right),
                 std::max(bound.bottom, r.bottom)};
    }
    data->rdh.rcBound = ToRECT(bound);
    win::ScopedRgn region(::ExtCreateRegion(nullptr, static_cast<DWORD>(buffer.size()), data));
    win::ScopedGetDC dc(hwnd());
    if (!dc) return;
    if (region) ::SelectClipRgn(dc, region.get());
    ::BitBlt(dc, bound.left, bound.top, bound.width(), bound.height(), canvas_.dc(), bound.left, bound.top, SRCCOPY);
    ::SelectClipRgn(dc, nullptr);
}

win::ScopedBitmap Desktop::CopyRegion(const Rect& region, bool paintOutside) const {
    if (region.empty() || !frozen_.IsCreated()) return {};
    win::ScopedGetDC screen(nullptr);
    win::ScopedBitmap picture(::CreateCompatibleBitmap(screen, region.width(), region.height()));
    win::AutoDeleteDC dc(::CreateCompatibleDC(screen));
    if (!picture || !dc) return {};
    {
        win::ScopedSelectObject select(dc.get(), picture.get());
        ::BitBlt(dc.get(), 0, 0, region.width(), region.height(), frozen_.dc(), region.left, region.top, SRCCOPY);
        if (paintOutside) {
            // The rings are drawn where they would lie on the overlay, shifted
            // to the picture's origin: the same pixels as painting the overlay first.
            win::ScopedPen pen(::CreatePen(PS_SOLID, capture::kOutsideRingPenWidth, options_.backColor));
            win::ScopedSelectObject selectPen(dc.get(), pen.get());
            win::ScopedSelectObject brush(dc.get(), ::GetStockObject(NULL_BRUSH));
            for (const Rect& box : capture::OutsideRingBoxes(region))
                ::Ellipse(dc.get(), box.left - region.left, box.top - region.top, box.right - region.left,
                          box.bottom - region.top);
        }
    }
    return picture;
}

void Desktop::Deliver(win::ScopedBitmap picture) {
    // The handler usually unloads the overlay, which clears the members.
    auto handler = onCaptured_;
    if (handler) handler(std::move(picture));
}

void Desktop::Cancel() {
    auto handler = onCancelled_;
    Unload();
    if (handler) handler();
}

}  // namespace px
