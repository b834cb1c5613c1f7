#include "export/fMain.h"

#include <algorithm>

#include "capture/CurrentCapture.h"
#include "controls/uxButtons_H.h"
#include "export/GifEncoder.h"
#include "export/core/GifExportRules.h"

namespace px {

namespace {

constexpr int kMaxWeight = 1000;

// The wait cursor for the length of a step.
class WaitCursor {
public:
    WaitCursor() : previous_(::SetCursor(::LoadCursorW(nullptr, IDC_WAIT))) {}
    ~WaitCursor() { ::SetCursor(previous_); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    HCURSOR previous_;
};

// An 8 x 8 one-bit pattern, rows 0xAA and 0x55. The brush keeps its own copy
// of the pattern, so the bitmap goes as soon as the brush is made.
win::ScopedBrush MakeCheckerboard() {
    static const WORD rows[8] = {0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55};
    win::ScopedBitmap pattern(::CreateBitmap(8, 8, 1, 1, rows));
    return win::ScopedBrush(::CreatePatternBrush(pattern.get()));
}

}  // namespace

fMain& fMain::Get() {
    static fMain form;
    return form;
}

fMain::fMain() : pathPrompt_(ShowSaveAsDialog), messageBox_(ShowMessageBox) { ConnectHandlers(); }

fMain::~fMain() = default;

void fMain::SetPathPrompt(SavePathPrompt prompt) { pathPrompt_ = prompt ? std::move(prompt) : ShowSaveAsDialog; }

void fMain::SetMessageBox(MessageBoxFunction messageBox) {
    messageBox_ = messageBox ? std::move(messageBox) : ShowMessageBox;
}

void fMain::Show(HWND owner, CurrentCapture& capture) {
    owner_ = owner;
    capture_ = &capture;
    const bool wasLoaded = IsLoaded();
    Form::Show(SW_SHOW);  // the first load runs Form_Load, which loads the picture
    if (wasLoaded && IsLoaded()) LoadPicture(capture_->Picture());
}

std::wstring fMain::Text(int id) const { return win::GetWindowTextString(Item(id)); }

void fMain::Form_Load() {
    gdiplus_ = win::ScopedGdiplus(true);
    if (!gdiplus_) {
        messageBox_(hwnd(), L"Error loading GDI+!", MB_ICONERROR);
        ::PostMessageW(hwnd(), WM_CLOSE, 0, 0);
        return;
    }
    ResetPalette();
    checker_ = MakeCheckerboard();
    LoadPicture(capture_ ? capture_->Picture() : nullptr);
}

void fMain::Form_Unload() {
    gdiplus_.reset();
    checker_.reset();
    ucPreview_.DIB().Destroy();
    source_.Destroy();
    palette_.Clear();
    ditherer_.InitializePalID(0, 0);
    option_ = -1;
    depth_ = 0;
    markerVisible_ = false;
}

LRESULT fMain::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_PAINT: Form_Paint(); return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(layout_.Font());  // the buttons' font at the window's DPI
    case WM_COMMAND:
    case WM_HSCROLL:
        if (router_.Route(msg, wp, lp)) return 0;
        break;
    case WM_DRAWITEM:
        if (wp == kIPalette) {
            iPalette_Draw(*reinterpret_cast<const DRAWITEMSTRUCT*>(lp));
            return TRUE;
        }
        break;
    case WM_CLOSE: Unload(); return 0;
    }
    return Form::HandleMessage(msg, wp, lp);
}

// --- handlers ---------------------------------------------------------------

void fMain::optPalette_Click(int option) {
    for (int i = 0; i < static_cast<int>(optPalette_.size()); ++i) SetOption(i, i == option);
    option_ = option;
    switch (option) {
    case 0:
    case 1:
    case 2: palette_.CreateGreyscale(option); break;
    case 3: {
        const int levels = sbHalftoneLevels_.Value();
        if (levels >= 2 && levels <= 6) palette_.CreateHalftone(levels - 2);
        break;
    }
    case 4: palette_.CreateWebsafe(); break;
    case 5: {
        if (!source_.hDIB()) break;
        WaitCursor wait;
        int32_t x = 0, y = 0, w = 0, h = 0;
        source_.GetBestFitInfo(100, 100, x, y, w, h, false);
        cDIB32 reduced;
        reduced.Create(w, h, 0);
        reduced.LoadDIBBlt(source_);
        // Typed values outside the bars' ranges are brought into them (and shown so).
        const int32_t wanted = Value(txtOptimalEntries_, 8, 256);
        float weights[3];
        for (int i = 0; i < 3; ++i) weights[i] = static_cast<float>(Value(txtRGBWeight_[i], 0, kMaxWeight)) / 1000.0f;
        palette_.CreateOptimal(reduced.Pixels(), wanted, 8, weights[0], weights[1], weights[2]);
        break;
    }
    case kPerceptualOption: {
        if (!source_.hDIB()) break;
        WaitCursor wait;
        palette_.CreatePerceptual(source_.Pixels(), Value(txtOptimalEntries_, 8, 256));
        break;
    }
    }
    ::InvalidateRect(iPalette_.hwnd(), nullptr, FALSE);
    cmdDither_->SetEnabled(depth_ != 0);
    cmdSaveGIF_->SetEnabled(false);
    MoveMarker(markerEntry_, false);
    chkPickColor_.SetChecked(false);
    chkPickColor_.SetEnabled(false);
    ucPreview_.WorkMode(0);
}

void fMain::sbHalftoneLevels_Change() {
    const int v = sbHalftoneLevels_.Value();
    SetQuietly(txtHalftoneLevels_, std::to_wstring(v * v * v));
    optPalette_Click(3);  // reruns it, or selects it
}

void fMain::sbOptimalEntries_Change() {
    const int v = sbOptimalEntries_.Value();
    txtOptimalEntries_.SetText(std::to_wstring(v));  // its change resets the palette
    sbOptimalEntriesFast_.SetValue(v);
}

void fMain::sbOptimalEntriesFast_Change() {
    sbOptimalEntries_.SetValue(sbOptimalEntriesFast_.Value());
    sbOptimalEntries_Change();
}

void fMain::txtOptimalEntries_Change() {
    if (quiet_) return;
    const std::wstring text = txtOptimalEntries_.Text();
    if (LeadingDigits(text) != text) SetQuietly(txtOptimalEntries_, LeadingDigits(text));  // pasted text
    ResetPalette();
}

void fMain::txtRGBWeight_Change(int index) {
    if (quiet_) return;
    win::NativeEdit& field = txtRGBWeight_[index];
    const std::wstring text = field.Text();
    if (DigitsValue(text, 0, kMaxWeight + 1) > kMaxWeight) {
        SetQuietly(field, L"1000");
        ::SendMessageW(field.hwnd(), EM_SETSEL, 0, -1);
    } else if (LeadingDigits(text) != text) {
        SetQuietly(field, LeadingDigits(text));  // pasted text keeps its leading digits
    }
    ResetPalette();
}

void fMain::cmdUseDefaultWeights_Click() {
    const wchar_t* weights[3] = {L"360", L"436", L"341"};
    for (int i = 0; i < 3; ++i) txtRGBWeight_[i].SetText(weights[i]);
}

void fMain::cmdResetWeights_Click() {
    for (auto& field : txtRGBWeight_) field.SetText(L"1000");
}

// A changed dithering option needs a new dithering before anything is saved.
void fMain::chkDiffuseError_Click() { cmdSaveGIF_->SetEnabled(false); }

void fMain::chkNoise_Click() { cmdSaveGIF_->SetEnabled(false); }

void fMain::sbNoise_Change() {
    SetQuietly(txtNoise_, std::to_wstring(sbNoise_.Value()));
    cmdSaveGIF_->SetEnabled(false);
}

void fMain::cmdDither_Click() {
    cDIB32& working = ucPreview_.DIB();
    if (!working.hDIB() || option_ < 0) return;
    WaitCursor wait;
    working.LoadBlt(source_.hDIBDC(), 0, 0);
    if (chkNoise_.Checked()) {
        const int32_t level = Value(txtNoise_, 0, 25);
        if (level > 0) filter_.Noise(working, level, 1);
    }
    const bool diffuse = chkDiffuseError_.Checked();
    if (option_ <= 2) ditherer_.DitherToGreyPalette(working, palette_, option_, diffuse);
    else if (option_ == kPerceptualOption) ditherer_.DitherToPerceptualPalette(working, palette_, diffuse);
    else ditherer_.DitherToColorPalette(working, palette_, diffuse);
    ucPreview_.Repaint();
    depth_ = VirtualDepth(palette_.MaxCount(), depth_);
    lblbpp_.SetText(std::to_wstring(depth_) + L" bpp (virtual color depth)");
    lblBitmapSize_.SetText(FormatThousands(PaletteBitmapFileSize(depth_, working.Width(), working.Height())) +
                           L" bytes (" + std::to_wstring(depth_) + L" bpp)");
    if (chkCountUniqueColors_.Checked()) CountColoursIntoLabel();
    cmdSaveGIF_->SetEnabled(true);
    chkPickColor_.SetEnabled(true);
    MoveMarker(0, true);
}

void fMain::chkCountUniqueColors_Click() {
    if (chkCountUniqueColors_.Checked()) {
        if (ucPreview_.DIB().hDIB()) CountColoursIntoLabel();
    } else {
        lblUniqueColors_.SetText(L"");
    }
}

void fMain::chkPickColor_Click() { ucPreview_.WorkMode(chkPickColor_.Checked() ? 1 : 0); }

void fMain::ucPreview_MouseDown(int, int, int32_t x, int32_t y) { PickAt(x, y); }

void fMain::ucPreview_MouseMove(int button, int, int32_t x, int32_t y) {
    if (button & ucCanvas::kLeftButton) PickAt(x, y);
}

void fMain::sbZoom_Change() {
    const int zoom = sbZoom_.Value();
    ucPreview_.zoom(zoom);
    ucPreview_.Resize();
    lblZoom_.SetText(FormatZoom(zoom));
}

void fMain::cmdSaveGIF_Click() {
    const std::wstring path = pathPrompt_({hwnd(), kFilter, kDialogFlags, kCaption});
    if (path.empty()) return;
    if (::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES &&
        messageBox_(hwnd(), L"File already exists ! Overwrite ?", MB_OKCANCEL) != IDOK)
        return;
    const int32_t transparent = chkUseTransparent_.Checked() ? markerEntry_ : -1;
    if (depth_ < 1 || depth_ > 8) return;
    std::wstring reason;
    if (!SaveGIF(ucPreview_.DIB(), palette_, ditherer_, transparent, path, &reason)) {
        lblFileSize_.SetText(L"");
        messageBox_(hwnd(), L"Failed to save the picture to the file: '" + path + L"'\n\n" + reason,
                    MB_ICONWARNING);
        return;
    }
    WIN32_FILE_ATTRIBUTE_DATA data{};
    ::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data);
    const int64_t size = (int64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
    lblFileSize_.SetText(FormatThousands(size) + L" bytes");
}

void fMain::cmdExit_Click() { Unload(); }

// --- steps ------------------------------------------------------------------

void fMain::ResetPalette() {
    palette_.InitializePalette();
    ::InvalidateRect(iPalette_.hwnd(), nullptr, FALSE);
    if (option_ >= 0) SetOption(option_, false);
    option_ = -1;
    if (cmdDither_) cmdDither_->SetEnabled(false);
    if (cmdSaveGIF_) cmdSaveGIF_->SetEnabled(false);
    chkPickColor_.SetChecked(false);
    chkPickColor_.SetEnabled(false);
    ucPreview_.WorkMode(0);
    MoveMarker(markerEntry_, false);
}

void fMain::LoadPicture(HBITMAP picture) {
    cDIB32& working = ucPreview_.DIB();
    depth_ = picture ? working.CreateFromStdPicture(picture) : 0;
    if (depth_ == 0) working.Destroy();
    ucPreview_.Resize();
    ResetPalette();
    source_.Destroy();
    if (depth_ != 0 && source_.Create(working.Width(), working.Height(), 0)) source_.LoadBlt(working.hDIBDC(), 0, 0);
    lblDimensions_.SetText(std::to_wstring(working.Width()) + L" x " + std::to_wstring(working.Height()));
    lblbpp_.SetText(std::to_wstring(depth_) + L" bpp (memory DIB)");
    lblBitmapSize_.SetText(FormatThousands(Bitmap24FileSize(working.Width(), working.Height())) + L" bytes (24 bpp)");
    lblFileSize_.SetText(L"");
    lblUniqueColors_.SetText(L"");
    if (chkCountUniqueColors_.Checked() && depth_ != 0) CountColoursIntoLabel();
    // Without a picture there is nothing to build a palette for or to dither.
    const bool hasPicture = depth_ != 0;
    for (win::NativeControl* c : std::initializer_list<win::NativeControl*>{
             &fraDither_, &chkDiffuseError_, &chkNoise_, &sbNoise_, &txtNoise_, &chkCountUniqueColors_})
        c->SetEnabled(hasPicture);
    for (auto& option : optPalette_) option.SetEnabled(hasPicture);
}

void fMain::CountColoursIntoLabel() {
    WaitCursor wait;
    lblUniqueColors_.SetText(FormatThousands(ditherer_.CountColors(ucPreview_.DIB())));
}

void fMain::PickAt(int32_t x, int32_t y) {
    const cDIB32& working = ucPreview_.DIB();
    if (!chkPickColor_.Checked() || depth_ < 1 || depth_ > 8) return;
    if (x < 0 || y < 0 || x >= working.Width() || y >= working.Height()) return;
    MoveMarker(ditherer_.PalID(x, y), true);
}

void fMain::MoveMarker(int32_t entry, bool visible) {
    markerEntry_ = entry;
    markerVisible_ = visible;
    if (IsLoaded()) ::InvalidateRect(iPalette_.hwnd(), nullptr, FALSE);
}

void fMain::SetOption(int option, bool selected) {
    ::SendMessageW(optPalette_[static_cast<size_t>(option)].hwnd(), BM_SETCHECK, selected ? BST_CHECKED : BST_UNCHECKED,
                   0);
}

int32_t fMain::Value(win::NativeEdit& field, int32_t lo, int32_t hi) {
    const std::wstring text = field.Text();
    const int32_t value = DigitsValue(text, lo, hi);
    if (text != std::to_wstring(value)) SetQuietly(field, std::to_wstring(value));
    return value;
}

void fMain::SetQuietly(win::NativeEdit& field, const std::wstring& text) {
    const bool was = quiet_;
    quiet_ = true;
    field.SetText(text);
    quiet_ = was;
}

}  // namespace px
