#include "app/MainWindowSkin.h"

#include <ocidl.h>
#include <olectl.h>

#include <cstdio>
#include <string>
#include <utility>

#include "app/Resources.h"
#include "base/win/Window.h"
// The library's COM contract (interfaces, identities) as widl generates it from its
// type library source; the program never includes the library's own code.
#include "veltrim_h.h"

namespace px {

namespace {

// The main window's skin values (the order they are set in is fixed: see FillSkin).
constexpr long kMenuStartOffsetX = -20, kTopSizingBorderHeight = 15, kLeftBorderWidth = 1, kRightBorderWidth = 1;
constexpr OLE_COLOR kActiveMenuColor = 0xFFFFFF, kActiveMenuColorOver = 0xC0FFFF;
constexpr OLE_COLOR kInActiveMenuColor = RGB(255, 255, 255), kMenuBackgroundColor = RGB(115, 142, 172);
constexpr long kButtonWidth = 19, kButtonHeight = 20;
constexpr long kActiveLeftEnd = 20, kActiveRightStart = 775, kActiveRightEnd = 779;

// The window object the library reads late-bound: "hwnd" and "Refresh".
class WindowObject final : public IDispatch {
public:
    explicit WindowObject(HWND hwnd) : hwnd_(hwnd) {}
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IDispatch) {
            *out = static_cast<IDispatch*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++refs_; }
    STDMETHODIMP_(ULONG) Release() override {
        const ULONG left = --refs_;
        if (left == 0) delete this;
        return left;
    }
    STDMETHODIMP GetTypeInfoCount(UINT* n) override {
        if (n) *n = 0;
        return S_OK;
    }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
        if (!names || !ids || count != 1) return E_INVALIDARG;
        if (::lstrcmpiW(names[0], L"hwnd") == 0) return ids[0] = kHwnd, S_OK;
        if (::lstrcmpiW(names[0], L"Refresh") == 0) return ids[0] = kRefresh, S_OK;
        ids[0] = DISPID_UNKNOWN;
        return DISP_E_UNKNOWNNAME;
    }
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS*, VARIANT* result, EXCEPINFO*,
                        UINT*) override {
        if (id == kHwnd && (flags & DISPATCH_PROPERTYGET) && result) {
            ::VariantInit(result);
            result->vt = VT_I4;
            result->lVal = static_cast<LONG>(reinterpret_cast<LONG_PTR>(hwnd_));
            return S_OK;
        }
        if (id == kRefresh && (flags & DISPATCH_METHOD)) {
            // The whole window is repainted; the paint itself comes with the next
            // messages, so a re-skin does not paint every control twice.
            ::RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
            return S_OK;
        }
        return DISP_E_MEMBERNOTFOUND;
    }

private:
    static constexpr DISPID kHwnd = 1, kRefresh = 2;
    ~WindowObject() = default;
    ULONG refs_ = 1;
    HWND hwnd_;
};

// A bitmap resource of the program as a picture object that owns it.
HRESULT BitmapPicture(int id, IPictureDisp** out) {
    HBITMAP bmp = static_cast<HBITMAP>(
        ::LoadImageW(win::Window::Instance(), MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (!bmp) return HRESULT_FROM_WIN32(::GetLastError());
    PICTDESC pd{};
    pd.cbSizeofstruct = sizeof pd;
    pd.picType = PICTYPE_BITMAP;
    pd.bmp.hbitmap = bmp;
    HRESULT hr = ::OleCreatePictureIndirect(&pd, IID_IPictureDisp, TRUE, reinterpret_cast<void**>(out));
    if (FAILED(hr)) win::ScopedBitmap{bmp};  // not taken over: ours to delete
    return hr;
}

// A font object with the face, size and style of `font` (size in points at the screen's DPI).
HRESULT FontObject(HFONT font, IFontDisp** out) {
    LOGFONTW lf{};
    if (!font || !::GetObjectW(font, sizeof lf, &lf)) return E_INVALIDARG;
    win::ScopedGetDC screen(nullptr);
    const int dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
    const LONGLONG pixels = lf.lfHeight < 0 ? -lf.lfHeight : lf.lfHeight;
    FONTDESC fd{};
    fd.cbSizeofstruct = sizeof fd;
    fd.lpstrName = lf.lfFaceName;
    fd.cySize.int64 = dpi > 0 ? pixels * 72 * 10000 / dpi : 90000;  // CY: points x 10000
    fd.sWeight = static_cast<SHORT>(lf.lfWeight);
    fd.sCharset = lf.lfCharSet;
    fd.fItalic = lf.lfItalic != 0;
    fd.fUnderline = lf.lfUnderline != 0;
    fd.fStrikethrough = lf.lfStrikeOut != 0;
    return ::OleCreateFontIndirect(&fd, IID_IFontDisp, reinterpret_cast<void**>(out));
}

}  // namespace

MainWindowSkin::MainWindowSkin() = default;

MainWindowSkin::~MainWindowSkin() { Detach(); }

_cNeoCaption* MainWindowSkin::Caption() const noexcept { return attached_ ? caption_.get() : nullptr; }

_cSkinConfiguration* MainWindowSkin::Skin() const noexcept { return attached_ ? skin_.get() : nullptr; }

bool MainWindowSkin::Fail(const wchar_t* what, HRESULT hr) {
    wchar_t text[160];
    std::swprintf(text, 160, L"%ls (0x%08lX)", what, static_cast<unsigned long>(hr));
    failure_ = text;
    if (caption_) caption_->Detach();
    caption_.reset();
    skin_.reset();
    form_.reset();
    attached_ = false;
    return false;
}

bool MainWindowSkin::Attach(HWND window, HFONT font) {
    Detach();
    failure_.clear();
    window_ = window;
    HRESULT hr = ::CoCreateInstance(CLSID_cNeoCaption, nullptr, CLSCTX_INPROC_SERVER, IID__cNeoCaption,
                                    reinterpret_cast<void**>(caption_.put()));
    if (FAILED(hr)) return Fail(L"The caption painter could not be created", hr);
    hr = ::CoCreateInstance(CLSID_cSkinConfiguration, nullptr, CLSCTX_INPROC_SERVER, IID__cSkinConfiguration,
                            reinterpret_cast<void**>(skin_.put()));
    if (FAILED(hr)) return Fail(L"The skin settings could not be created", hr);
    const wchar_t* failed = L"";
    hr = FillSkin(font, failed);
    if (FAILED(hr)) return Fail((std::wstring(L"The skin value ") + failed + L" was refused").c_str(), hr);
    form_.reset(new WindowObject(window));
    hr = caption_->Attach2(form_.get(), skin_.get());
    if (FAILED(hr)) return Fail(L"The skin could not be attached", hr);
    attached_ = true;
    // The frame as the window now has it (the frame manager recalculated it).
    RECT wr{}, cr{};
    POINT origin{0, 0};
    ::GetWindowRect(window, &wr);
    ::GetClientRect(window, &cr);
    ::ClientToScreen(window, &origin);
    margins_.left = origin.x - wr.left;
    margins_.top = origin.y - wr.top;
    margins_.right = (wr.right - wr.left) - margins_.left - cr.right;
    margins_.bottom = (wr.bottom - wr.top) - margins_.top - cr.bottom;
    return true;
}

// The skin values in their fixed order, then the artwork. On a failure
// `failed` names the value that was refused.
HRESULT MainWindowSkin::FillSkin(HFONT font, const wchar_t*& failed) {
    _cSkinConfiguration* s = skin_.get();
    win::ScopedComPtr<IFontDisp> captionFont, menuFont;
    win::ScopedComPtr<IPictureDisp> caption, borders;
    HRESULT hr = S_OK;
    auto step = [&](const wchar_t* name, const auto& set) {
        if (FAILED(hr)) return;
        hr = set();
        if (FAILED(hr)) failed = name;
    };
    step(L"DrawTitle", [&] { return s->put_DrawTitle(VARIANT_FALSE); });
    step(L"MenuStartOffsetX", [&] { return s->put_MenuStartOffsetX(kMenuStartOffsetX); });
    step(L"TopSizingBorderHeight", [&] { return s->put_TopSizingBorderHeight(kTopSizingBorderHeight); });
    step(L"LeftBorderWidth", [&] { return s->put_LeftBorderWidth(kLeftBorderWidth); });
    step(L"RightBorderWidth", [&] { return s->put_RightBorderWidth(kRightBorderWidth); });
    step(L"ActiveMenuColor", [&] { return s->put_ActiveMenuColor(kActiveMenuColor); });
    step(L"ActiveMenuColorOver", [&] { return s->put_ActiveMenuColorOver(kActiveMenuColorOver); });
    step(L"InActiveMenuColor", [&] { return s->put_InActiveMenuColor(kInActiveMenuColor); });
    step(L"MenuBackgroundColor", [&] { return s->put_MenuBackgroundColor(kMenuBackgroundColor); });
    step(L"CaptionFont (the window's font)", [&] { return FontObject(font, captionFont.put()); });
    step(L"CaptionFont", [&] { return s->putref_CaptionFont(captionFont.get()); });
    step(L"MenuFont (the window's font)", [&] { return FontObject(font, menuFont.put()); });
    step(L"MenuFont", [&] { return s->putref_MenuFont(menuFont.get()); });
    step(L"ButtonWidth", [&] { return s->put_ButtonWidth(kButtonWidth); });
    step(L"ButtonHeight", [&] { return s->put_ButtonHeight(kButtonHeight); });
    step(L"ActiveLeftEnd", [&] { return s->put_ActiveLeftEnd(kActiveLeftEnd); });
    step(L"ActiveRightStart", [&] { return s->put_ActiveRightStart(kActiveRightStart); });
    step(L"ActiveRightEnd", [&] { return s->put_ActiveRightEnd(kActiveRightEnd); });
    step(L"Caption (the caption artwork)", [&] { return BitmapPicture(IDB_SKIN_CAPTION, caption.put()); });
    step(L"Caption", [&] { return s->putref_Caption(caption.get()); });
    step(L"Borders (the border artwork)", [&] { return BitmapPicture(IDB_SKIN_BORDERS, borders.put()); });
    step(L"Borders", [&] { return s->putref_Borders(borders.get()); });
    return hr;
}

HRESULT MainWindowSkin::Reskin(_cSkinConfiguration* other) {
    if (!attached_) return E_UNEXPECTED;
    return caption_->Attach2(form_.get(), other ? other : skin_.get());
}

void MainWindowSkin::Detach() {
    if (caption_) caption_->Detach();
    caption_.reset();
    skin_.reset();
    form_.reset();
    attached_ = false;
    margins_ = {};
}

}  // namespace px
