#include "app/Form2.h"

#include <commctrl.h>

#include <unordered_set>
#include <vector>

#include "app/Application.h"
#include "app/ColorDialog.h"
#include "app/Form1.h"
#include "app/core/AnnotationText.h"

namespace px {

namespace {
constexpr int kClientW = 352, kClientH = 214;
constexpr int kStyleBits[4] = {px::FontStyleBit::Bold, px::FontStyleBit::Underline,
                               px::FontStyleBit::Italic, px::FontStyleBit::Strikeout};
constexpr wchar_t kDefaultText[] = L"Type Text Here\r\n";
constexpr wchar_t kDefaultFontName[] = L"Arial";

// The installed screen fonts, one name per family, in the order the platform lists them.
std::vector<std::wstring> ScreenFontNames() {
    struct Ctx {
        std::vector<std::wstring> names;
        std::unordered_set<std::wstring> seen;
    } ctx;
    win::ScopedGetDC screen(nullptr);
    LOGFONTW lf{};
    lf.lfCharSet = DEFAULT_CHARSET;  // every family, whatever its character sets
    ::EnumFontFamiliesExW(
        screen, &lf,
        [](const LOGFONTW* f, const TEXTMETRICW*, DWORD, LPARAM lp) -> int {
            auto* c = reinterpret_cast<Ctx*>(lp);
            std::wstring name = f->lfFaceName;
            if (c->seen.insert(name).second) c->names.push_back(std::move(name));
            return 1;
        },
        reinterpret_cast<LPARAM>(&ctx), 0);
    return ctx.names;
}

// A child placed by the layout at x, y, w, h (96-DPI units); it takes the layout's font unless told otherwise.
HWND MakeChild(win::DpiLayout& layout, HWND parent, const wchar_t* cls, const wchar_t* text, DWORD style,
               DWORD exStyle, win::DpiLayout::Units96 at, int id, bool layoutFont = true) {
    HWND child = ::CreateWindowExW(exStyle, cls, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, parent,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), win::Window::Instance(), nullptr);
    layout.Add(child, at, layoutFont);
    return child;
}
}  // namespace

Form2& Form2::Get() {
    static Form2 form;
    return form;
}

void Form2::CreateFormWindow() {
    const wchar_t* cls = L"OrvoPixtrel.Form2";
    RegisterClassOnce(cls, CS_DBLCLKS, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
    const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    const DWORD exStyle = WS_EX_DLGMODALFRAME;
    const SIZE outer = OuterSizeForClient(Scale(kClientW), Scale(kClientH), style, exStyle);
    HWND owner = Form1::Get().IsLoaded() ? Form1::Get().hwnd() : nullptr;
    CreateWindowObject(cls, L"Text Inserter", style, exStyle, 0, 0, outer.cx, outer.cy, owner, nullptr);
    if (!hwnd()) return;

    c_ = std::make_unique<Controls>();
    Controls& c = *c_;
    win::DpiLayout& l = layout_;
    l.Clear();
    // Text1 shows the chosen font (ApplyText1Font), not the layout's.
    c.Text1 = MakeChild(l, hwnd(), L"EDIT", kDefaultText,
                        WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN, WS_EX_CLIENTEDGE,
                        {10, 10, 332, 90}, IdText1, false);
    MakeChild(l, hwnd(), L"STATIC", L"Font:", SS_LEFT, 0, {10, 113, 36, 16}, IdLabelFont);
    c.Combo1 = MakeChild(l, hwnd(), L"COMBOBOX", L"", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL, 0,
                         {48, 110, 180, 240}, IdCombo1);
    MakeChild(l, hwnd(), L"STATIC", L"Size:", SS_LEFT, 0, {240, 113, 32, 16}, IdLabelSize);
    c.Text2 = MakeChild(l, hwnd(), L"EDIT", kDefaultFontSizeText, WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE,
                        {274, 110, 68, 22}, IdText2);
    const wchar_t* checkCaptions[4] = {L"Bold", L"Underline", L"Italics", L"Strike Out"};
    const int checkX[4] = {10, 80, 170, 250};
    for (int i = 0; i < 4; ++i)
        c.Check[i] = MakeChild(l, hwnd(), L"BUTTON", checkCaptions[i], WS_TABSTOP | BS_CHECKBOX, 0,
                               {checkX[i], 142, checkX[i] == 250 ? 92 : 80, 20}, IdCheck1 + i);
    c.Picture1.Create(hwnd(), IdPicture1, 10, 176, 48, 26, WS_BORDER);
    l.Add(c.Picture1.hwnd(), {10, 176, 48, 26}, false);
    c.Command1.Create(hwnd(), L"Command1", 172, 176, 80, 28, IdCommand1);
    c.Command1.SetCaption(L"OK");
    l.Add(c.Command1.hwnd(), {172, 176, 80, 28});
    c.Command2.Create(hwnd(), L"Command2", 262, 176, 80, 28, IdCommand2);
    c.Command2.SetCaption(L"Cancel");
    l.Add(c.Command2.hwnd(), {262, 176, 80, 28});
    l.Apply(Dpi());

    c.Picture1.Click.connect([this] { Picture1_Click(); });
    c.Command1.Click.connect([this] { Command1_Click(); });
    c.Command2.Click.connect([this] { Command2_Click(); });
}

void Form2::Form_Load() {
    static bool shutdownRegistered = false;
    if (!shutdownRegistered) {
        shutdownRegistered = true;
        Application::Get().Shutdown().Register(ShutdownSlot::Form2, [] { Form2::Get().Unload(); });
    }
    Form1& f1 = Form1::Get();
    f1.Load();  // the inserter works on the annotation window's picture

    RECT wr;
    ::GetWindowRect(hwnd(), &wr);
    const int w = wr.right - wr.left, h = wr.bottom - wr.top;
    ::SetWindowPos(hwnd(), nullptr, (::GetSystemMetrics(SM_CXSCREEN) - w) / 2, (::GetSystemMetrics(SM_CYSCREEN) - h) / 2,
                   0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);

    f1.Picture1().SetFontStyle(0);
    swatchColor_ = f1.AnnotationColor();
    c_->Picture1.SetBackColor(swatchColor_);
    ListScreenFonts();

    ::SetWindowTextW(c_->Combo1, kDefaultFontName);
    text1FontName_ = kDefaultFontName;
    text1FontStyle_ = 0;
    text1FontSize_ = 8.0;
    ApplyText1Font();
}

void Form2::ListScreenFonts() {
    HWND progress = Form1::Get().FontPro();
    std::vector<std::wstring> fonts = ScreenFontNames();
    ::SendMessageW(progress, PBM_SETRANGE32, 0, static_cast<LPARAM>(fonts.size()));
    ::SendMessageW(progress, PBM_SETPOS, 0, 0);
    ::ShowWindow(progress, SW_SHOWNA);
    for (size_t i = 0; i < fonts.size(); ++i) {
        ::SendMessageW(c_->Combo1, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(fonts[i].c_str()));
        ::SendMessageW(progress, PBM_SETPOS, static_cast<WPARAM>(i), 0);
    }
    ::ShowWindow(progress, SW_HIDE);
}

bool Form2::ApplyText1Font() {
    using namespace px::FontStyleBit;
    LOGFONTW lf{};
    lf.lfHeight = FontCharacterHeight(text1FontSize_, static_cast<int>(Dpi()));
    lf.lfWeight = (text1FontStyle_ & Bold) ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = (text1FontStyle_ & Italic) ? TRUE : FALSE;
    lf.lfUnderline = (text1FontStyle_ & Underline) ? TRUE : FALSE;
    lf.lfStrikeOut = (text1FontStyle_ & Strikeout) ? TRUE : FALSE;
    lf.lfCharSet = DEFAULT_CHARSET;
    ::lstrcpynW(lf.lfFaceName, text1FontName_.c_str(), LF_FACESIZE);
    win::ScopedFont font(::CreateFontIndirectW(&lf));
    if (!font) return false;
    // The edit control uses the new font before the old one is deleted.
    ::SendMessageW(c_->Text1, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
    text1Font_ = std::move(font);
    return true;
}

void Form2::Check_Click(int index) {
    const int bit = kStyleBits[index];
    StyleToggle t = ToggleFontStyle(text1FontStyle_, bit);
    text1FontStyle_ = t.style;
    ::SendMessageW(c_->Check[index], BM_SETCHECK, t.checked ? BST_CHECKED : BST_UNCHECKED, 0);
    ApplyText1Font();
    win::PictureBox& pic = Form1::Get().Picture1();
    pic.SetFontStyle(t.checked ? (pic.FontStyle() | bit) : (pic.FontStyle() & ~bit));
}

void Form2::Combo1_Click() {
    LRESULT sel = ::SendMessageW(c_->Combo1, CB_GETCURSEL, 0, 0);
    if (sel == CB_ERR) return;
    LRESULT len = ::SendMessageW(c_->Combo1, CB_GETLBTEXTLEN, static_cast<WPARAM>(sel), 0);
    if (len == CB_ERR) return;
    std::wstring name(static_cast<size_t>(len) + 1, L'\0');
    ::SendMessageW(c_->Combo1, CB_GETLBTEXT, static_cast<WPARAM>(sel), reinterpret_cast<LPARAM>(name.data()));
    name.resize(static_cast<size_t>(len));
    text1FontName_ = name;
    ApplyText1Font();
}

void Form2::Text2_Change() {
    FontSizeField f = ParseFontSizeField(win::GetWindowTextString(c_->Text2));
    if (f.kind == FontSizeField::Kind::Empty) return;
    if (f.kind == FontSizeField::Kind::Valid) {
        const double previous = text1FontSize_;
        text1FontSize_ = f.points;
        if (ApplyText1Font()) return;
        text1FontSize_ = previous;
    }
    ::MessageBoxW(hwnd(), L"Invalid Size", L"Orvo Pixtrel", MB_OK | MB_ICONERROR);
    if (IsLoaded()) ::SetWindowTextW(c_->Text2, kDefaultFontSizeText);
}

void Form2::Picture1_Click() {
    if (auto chosen = win::ChooseColorDialog(hwnd(), swatchColor_, false, customColors_)) {
        swatchColor_ = *chosen;
        c_->Picture1.SetBackColor(swatchColor_);
        ::InvalidateRect(c_->Text1, nullptr, TRUE);
    }
}

void Form2::Command1_Click() {
    Form1& f1 = Form1::Get();
    win::PictureBox& pic = f1.Picture1();
    POINT at = f1.TextPosition();
    pic.SetCurrentPosition(at.x, at.y);
    const COLORREF penColor = pic.ForeColor();
    const double fontSize = pic.FontSize();
    // A cleared size field prints at the last size the field held.
    FontSizeField size = ParseFontSizeField(win::GetWindowTextString(c_->Text2));
    pic.SetFontSize(size.kind == FontSizeField::Kind::Valid ? size.points : text1FontSize_);
    pic.SetForeColor(swatchColor_);
    pic.SetFontName(win::GetWindowTextString(c_->Combo1));
    f1.PrintAnnotationText(win::GetWindowTextString(c_->Text1));
    pic.SetForeColor(penColor);
    f1.Command3().SetEnabled(true);
    pic.SetFontSize(fontSize);
    Unload();
}

void Form2::Command2_Click() {
    Form1& f1 = Form1::Get();
    f1.Command3().SetBackColor(0xC0C0C0);
    f1.SetTextPlacementMode(false);
    Unload();
}

LRESULT Form2::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_COMMAND: {
        const int id = LOWORD(wp), code = HIWORD(wp);
        if (id >= IdCheck1 && id <= IdCheck4 && code == BN_CLICKED) {
            Check_Click(id - IdCheck1);
            return 0;
        }
        if (id == IdCombo1 && code == CBN_SELCHANGE) {
            Combo1_Click();
            return 0;
        }
        if (id == IdText2 && code == EN_CHANGE) {
            Text2_Change();
            return 0;
        }
        if (id == IDOK && lp == 0) {  // Enter outside the text box
            Command1_Click();
            return 0;
        }
        if (id == IDCANCEL && lp == 0) {  // Escape
            Command2_Click();
            return 0;
        }
        break;
    }
    case WM_CTLCOLOREDIT:
        if (c_ && reinterpret_cast<HWND>(lp) == c_->Text1) {
            HDC dc = reinterpret_cast<HDC>(wp);
            ::SetTextColor(dc, swatchColor_);
            ::SetBkColor(dc, ::GetSysColor(COLOR_WINDOW));
            return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_WINDOW));
        }
        break;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(layout_.Font());
    case WM_CLOSE: Command2_Click(); return 0;
    }
    return Form::HandleMessage(msg, wp, lp);
}

void Form2::Form_DpiChanged(UINT dpi) {
    layout_.Apply(dpi);
    if (c_) ApplyText1Font();  // the chosen points at the new DPI
}

void Form2::OnFinalDestroy() {
    text1Font_.reset();  // the text box that used it is gone
    Form::OnFinalDestroy();
}

}  // namespace px
