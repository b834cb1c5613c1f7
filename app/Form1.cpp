#include "app/Form1.h"

#include <commctrl.h>

#include <variant>

#include "app/Application.h"
#include "app/ColorDialog.h"
#include "app/Form2.h"
#include "app/Resources.h"
#include "app/core/AnnotationText.h"

namespace px {

namespace {
constexpr int kWidth = 760, kHeight = 560;
constexpr int kBarHeight = 38;  // the row of buttons above the picture
constexpr int kButtonH = 26, kSwatch = 24;
constexpr wchar_t kCaption[] = L" Orvo Pixtrel 4.5";
}  // namespace

Form1& Form1::Get() {
    static Form1 form;
    return form;
}

void Form1::Show(CurrentCapture& capture) {
    capture_ = &capture;
    win::Form::Show();
}

void Form1::CreateFormWindow() {
    const wchar_t* cls = L"OrvoPixtrel.Form1";
    RegisterClassOnce(cls, CS_DBLCLKS, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1),
                      ::LoadIconW(Instance(), MAKEINTRESOURCEW(IDI_APP)));
    int x = (::GetSystemMetrics(SM_CXSCREEN) - kWidth) / 2, y = (::GetSystemMetrics(SM_CYSCREEN) - kHeight) / 2;
    CreateWindowObject(cls, L" Orvo Pixtrel 4.5", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, x, y, kWidth, kHeight,
                       nullptr, nullptr);
    if (!hwnd()) return;

    c_ = std::make_unique<Controls>();
    Controls& c = *c_;
    const int by = (kBarHeight - kButtonH) / 2;
    c.cmdColor.Create(hwnd(), L"cmdColor", 8, by, 90, kButtonH, IdCmdColor);
    c.cmdColor.SetCaption(L"Text Color");
    c.Picture51.Create(hwnd(), IdPicture51, 106, (kBarHeight - kSwatch) / 2 - 1, kSwatch + 2, kSwatch + 2, WS_BORDER);
    c.Picture50.Create(hwnd(), IdPicture50, 138, (kBarHeight - kSwatch) / 2 - 1, kSwatch + 2, kSwatch + 2, WS_BORDER);
    c.Picture50.SetBackColor(RGB(255, 255, 255));
    c.Command3.Create(hwnd(), L"Command3", 176, by, 90, kButtonH, IdCommand3);
    c.Command3.SetCaption(L"Add Text");
    c.cmdApply.Create(hwnd(), L"cmdApply", 274, by, 80, kButtonH, IdCmdApply);
    c.cmdApply.SetCaption(L"Apply");
    c.cmdCancel.Create(hwnd(), L"cmdCancel", 362, by, 80, kButtonH, IdCmdCancel);
    c.cmdCancel.SetCaption(L"Cancel");
    c.FontPro = ::CreateWindowExW(0, PROGRESS_CLASSW, L"", WS_CHILD, 456, (kBarHeight - 16) / 2, 200, 16, hwnd(),
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(IdFontPro)), Instance(), nullptr);
    c.fraScroll1.Create(hwnd(), IdFraScroll1, 0, kBarHeight, kWidth, kHeight - kBarHeight);
    c.PictureA.Create(hwnd(), IdPictureA, 0, 0, 0, 0, WS_CLIPCHILDREN);
    c.Picture1.Create(c.PictureA.hwnd(), IdPicture1, 0, 0, 0, 0);

    c.cmdColor.Click.connect([this] { cmdColor_Click(); });
    c.Command3.Click.connect([this] { Command3_Click(); });
    c.cmdApply.Click.connect([this] { cmdApply_Click(); });
    c.cmdCancel.Click.connect([this] { cmdCancel_Click(); });
    c.Picture1.MouseDown.connect([this](int b, int s, int x, int y) { Picture1_MouseDown(b, s, x, y); });
    c.Picture1.MouseMove.connect([this](int b, int s, int x, int y) { Picture1_MouseMove(b, s, x, y); });
    c.Picture1.MouseUp.connect([this](int b, int s, int x, int y) { Picture1_MouseUp(b, s, x, y); });
}

void Form1::Form_Load() {
    static bool shutdownRegistered = false;
    if (!shutdownRegistered) {
        shutdownRegistered = true;
        Application::Get().Shutdown().Register(ShutdownSlot::Form1, [] { Form1::Get().Unload(); });
    }
    Controls& c = *c_;
    textposval_ = false;
    textpos_ = {0, 0};

    c.Picture1.SetDrawWidth(1);
    c.Picture50.SetDrawWidth(1);
    c.Picture50.Cls();
    SIZE preview = c.Picture50.SurfaceSize();
    px::Point centre = PenPreviewCentre(preview.cx, preview.cy);
    c.Picture50.Circle(centre.x, centre.y, c.Picture50.DrawWidth());

    // Before the first capture there is nothing to annotate: the picture stays empty.
    HBITMAP capture = capture_ ? capture_->Picture() : nullptr;
    BITMAP bm{};
    if (!capture || !::GetObjectW(capture, sizeof(bm), &bm)) bm.bmWidth = bm.bmHeight = 0;
    c.PictureA.Resize(bm.bmWidth, bm.bmHeight);
    c.Picture1.Resize(bm.bmWidth, bm.bmHeight);
    c.Picture1.SetPicture(capture);
    history_.Clear();
    original_ = c.Picture1.CopyImage();
    c.fraScroll1.SetChild(c.PictureA.hwnd());
    Form_Resize();

    Timer1_.start(hwnd(), kTimer1Id, kTimer1Interval);
    Timer1_Timer();
}

void Form1::Form_Unload() {
    Timer1_.stop();
    history_.Clear();
    original_.reset();
}

LRESULT Form1::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_SIZE: Form_Resize(); return 0;
    case WM_TIMER:
        if (wp == kTimer1Id) {
            Timer1_Timer();
            return 0;
        }
        break;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(::GetStockObject(DEFAULT_GUI_FONT));
    case WM_CLOSE: cmdCancel_Click(); return 0;
    }
    return Form::HandleMessage(msg, wp, lp);
}

void Form1::Form_Resize() {
    if (!c_ || !c_->fraScroll1.IsCreated()) return;
    RECT rc;
    ::GetClientRect(hwnd(), &rc);
    ::MoveWindow(c_->fraScroll1.hwnd(), 0, kBarHeight, rc.right, std::max<int>(rc.bottom - kBarHeight, 0), TRUE);
}

void Form1::Picture1_MouseDown(int button, int, int x, int y) {
    win::PictureBox& pic = c_->Picture1;
    history_.EndStroke();
    pic.SetCurrentPosition(x, y);
    if (textposval_ && button == 1) {
        pic.SetCursorShape(nullptr);
        textpos_ = {x, y};
        // The press must not keep the mouse while the modal inserter is up.
        if (::GetCapture() == pic.hwnd()) ::ReleaseCapture();
        Form2::Get().ShowModal(hwnd());
        textposval_ = false;
    }
}

void Form1::Picture1_MouseMove(int button, int, int x, int y) {
    win::PictureBox& pic = c_->Picture1;
    if (!textposval_) pic.SetCursorShape(nullptr);
    if (!textposval_ && (button & 1)) {
        if (!history_.StrokeOpen()) {
            const POINT from = pic.CurrentPosition();
            history_.BeginStroke({from.x, from.y}, pic.ForeColor(), pic.DrawWidth());
        }
        history_.ExtendStroke({x, y});
        pic.LineTo(x, y);
    }
}

void Form1::Picture1_MouseUp(int button, int, int, int) {
    if (button == 1) history_.EndStroke();
}

// Cancelling the dialog keeps the annotation colour.
void Form1::cmdColor_Click() {
    if (auto chosen = win::ChooseColorDialog(hwnd(), c_->Picture1.ForeColor(), true, customColors_)) {
        dlgColor_ = *chosen;
        c_->Picture1.SetForeColor(dlgColor_);
    }
}

void Form1::Command3_Click() {
    textposval_ = true;
    c_->Picture1.SetCursorShape(IDC_IBEAM);
    c_->Command3.SetEnabled(false);
}

void Form1::cmdApply_Click() {
    if (capture_ && c_->Picture1.SurfaceSize().cx > 0) {
        win::ScopedBitmap picture = c_->Picture1.CopyImage();
        // Out of memory, or a scratch file that cannot be written: the
        // annotations stay here, not lost.
        if (!picture) {
            ::MessageBoxW(hwnd(), L"Not enough memory to copy the picture.", kCaption, MB_OK | MB_ICONWARNING);
            return;
        }
        std::wstring error;
        if (!capture_->Replace(std::move(picture), &error)) {
            const std::wstring text = L"The captured picture could not be written to '" + capture_->ScratchPath() +
                                      L"'. The previous capture is kept.\r\n" + error;
            ::MessageBoxW(hwnd(), text.c_str(), kCaption, MB_OK | MB_ICONWARNING);
            return;
        }
    }
    Unload();
}

void Form1::cmdCancel_Click() { Unload(); }

void Form1::Timer1_Timer() {
    COLORREF annotation = c_->Picture1.ForeColor();
    if (c_->Picture51.BackColor() != annotation) c_->Picture51.SetBackColor(annotation);
}

// ---------------------------------------------------------------------------
// Undo and redo

void Form1::PrintAnnotationText(const std::wstring& text) {
    if (!c_) return;
    win::PictureBox& pic = c_->Picture1;
    const POINT at = pic.CurrentPosition();
    history_.AddText(TextStep{{at.x, at.y}, pic.ForeColor(), text, pic.FontName(), pic.FontSize(), pic.FontStyle()});
    pic.PrintText(text);
}

bool Form1::Undo() {
    if (!c_ || !history_.Undo()) return false;
    RedrawHistory();
    return true;
}

bool Form1::Redo() {
    if (!c_ || !history_.Redo()) return false;
    RedrawHistory();
    return true;
}

bool Form1::Form_KeyDown(const MSG& msg) {
    if (!c_ || msg.message != WM_KEYDOWN) return false;
    const auto down = [](int vk) { return ::GetKeyState(vk) < 0; };
    switch (EditKeyFor(static_cast<unsigned>(msg.wParam), down(VK_CONTROL), down(VK_SHIFT), down(VK_MENU))) {
    case EditKey::Undo: Undo(); return true;
    case EditKey::Redo: Redo(); return true;
    case EditKey::None: break;
    }
    return false;
}

void Form1::RedrawHistory() {
    win::PictureBox& pic = c_->Picture1;
    const COLORREF color = pic.ForeColor();
    const int width = pic.DrawWidth();
    const POINT position = pic.CurrentPosition();
    const std::wstring fontName = pic.FontName();
    const double fontSize = pic.FontSize();
    const int fontStyle = pic.FontStyle();

    pic.SetPicture(original_.get());
    for (const AnnotationStep& step : history_.Applied()) {
        if (const auto* stroke = std::get_if<StrokeStep>(&step)) {
            pic.SetForeColor(stroke->color);
            pic.SetDrawWidth(stroke->width);
            pic.SetCurrentPosition(stroke->points.front().x, stroke->points.front().y);
            for (size_t i = 1; i < stroke->points.size(); ++i) pic.LineTo(stroke->points[i].x, stroke->points[i].y);
        } else {
            const auto& text = std::get<TextStep>(step);
            pic.SetForeColor(text.color);
            pic.SetFontName(text.fontName);
            pic.SetFontSize(text.fontSize);
            pic.SetFontStyle(text.fontStyle);
            pic.SetCurrentPosition(text.at.x, text.at.y);
            pic.PrintText(text.text);
        }
    }

    pic.SetForeColor(color);
    pic.SetDrawWidth(width);
    pic.SetCurrentPosition(position.x, position.y);
    pic.SetFontName(fontName);
    pic.SetFontSize(fontSize);
    pic.SetFontStyle(fontStyle);
    pic.RefreshNow();
}

}  // namespace px
