#include "tests/win/support/SkinTestObjects.h"

#include <olectl.h>

#include <cstdint>

namespace px::test {

win::ScopedComPtr<IPictureDisp> ArtPicture(int w, int h, COLORREF (*art)(int, int)) {
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB};
    void* bits = nullptr;
    HBITMAP bmp = ::CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    win::ScopedComPtr<IPictureDisp> pic;
    if (!bmp) return pic;
    auto* p = static_cast<uint32_t*>(bits);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const COLORREF c = art(x, y);
            p[static_cast<size_t>(y) * w + x] = GetRValue(c) << 16 | GetGValue(c) << 8 | GetBValue(c);
        }
    PICTDESC pd{};
    pd.cbSizeofstruct = sizeof pd;
    pd.picType = PICTYPE_BITMAP;
    pd.bmp.hbitmap = bmp;
    // The picture owns the bitmap from here on (fOwn).
    if (FAILED(::OleCreatePictureIndirect(&pd, IID_IPictureDisp, TRUE, reinterpret_cast<void**>(pic.put()))))
        ::DeleteObject(bmp);
    return pic;
}

STDMETHODIMP FormStub::QueryInterface(REFIID iid, void** out) {
    if (iid == IID_IUnknown || iid == IID_IDispatch) {
        *out = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP FormStub::GetTypeInfoCount(UINT* n) {
    *n = 0;
    return S_OK;
}

STDMETHODIMP FormStub::GetIDsOfNames(REFIID, LPOLESTR* names, UINT, LCID, DISPID* id) {
    if (::lstrcmpiW(names[0], L"hwnd") == 0) return *id = 1, S_OK;
    if (::lstrcmpiW(names[0], L"Refresh") == 0) return *id = 2, S_OK;
    return DISP_E_UNKNOWNNAME;
}

STDMETHODIMP FormStub::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS*, VARIANT* result, EXCEPINFO*, UINT*) {
    if (id == 2) return ++refreshes, S_OK;
    if (id != 1 || !result) return DISP_E_MEMBERNOTFOUND;
    result->vt = VT_I4;
    result->lVal = static_cast<long>(reinterpret_cast<LONG_PTR>(hwnd_));
    return S_OK;
}

}  // namespace px::test
