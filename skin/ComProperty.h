#pragma once
// The one shape of the server's property accessors: a getter writes through a
// pointer the client may pass as null, Booleans cross as VARIANT_BOOL, an
// object getter hands out a counted reference, and a setter stores and succeeds.
#include <windows.h>
#include <oleauto.h>

#include "base/win/ScopedWin.h"

namespace veltrim {

template <typename T, typename U>
HRESULT GetValue(T* out, const U& value) {
    if (!out) return E_POINTER;
    *out = static_cast<T>(value);
    return S_OK;
}

inline HRESULT GetBool(VARIANT_BOOL* out, bool value) { return GetValue(out, value ? VARIANT_TRUE : VARIANT_FALSE); }

template <typename T, typename U>
HRESULT PutValue(T& field, U value) {
    field = static_cast<T>(value);
    return S_OK;
}

inline HRESULT PutBool(bool& field, VARIANT_BOOL value) { return PutValue(field, value != VARIANT_FALSE); }

// A counted reference to a held object (or null) for the client.
template <typename I>
HRESULT GetObjectRef(I** out, const px::win::ScopedComPtr<I>& held) {
    if (!out) return E_POINTER;
    *out = held.get();
    if (*out) (*out)->AddRef();
    return S_OK;
}

// An owner of the object's own reference to a client's object.
template <typename I>
px::win::ScopedComPtr<I> Hold(I* p) {
    if (p) p->AddRef();
    return px::win::ScopedComPtr<I>(p);
}

// Keeps the object's own reference to a client's object (or none).
template <typename I>
HRESULT PutObject(px::win::ScopedComPtr<I>& field, I* value) {
    field = Hold(value);
    return S_OK;
}

}  // namespace veltrim
