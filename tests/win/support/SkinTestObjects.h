#pragma once
// The skinned test window's objects, shared by the caption and menu bar tests
// and the menu bar bench: artwork whose every pixel is a function of its place
// (so a screenshot tells where each pixel was painted from), and the client's
// window object the painter asks late-bound for "hwnd" and "Refresh".
#include <windows.h>
#include <ocidl.h>

#include "base/win/ScopedWin.h"

namespace px::test {

// A w x h 32-bit picture object whose pixel (x, y) is art(x, y).
win::ScopedComPtr<IPictureDisp> ArtPicture(int w, int h, COLORREF (*art)(int, int));

// Owned by the test (Release never deletes it); refs and refreshes show what the painter did.
class FormStub final : public IDispatch {
public:
    explicit FormStub(HWND hwnd) : hwnd_(hwnd) {}
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(++refs); }
    STDMETHODIMP_(ULONG) Release() override { return static_cast<ULONG>(--refs); }
    STDMETHODIMP GetTypeInfoCount(UINT* n) override;
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR* names, UINT, LCID, DISPID* id) override;
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS*, VARIANT* result, EXCEPINFO*, UINT*) override;

    long refs = 1;
    int refreshes = 0;

private:
    HWND hwnd_;
};

}  // namespace px::test
