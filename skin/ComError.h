#pragma once
// The one way a member of the server reports a failure: the error object of
// the thread (SetErrorInfo) carries the number, the source and the
// description, and the member returns the number as its status. The source is
// the client's executable name without extension, a dot and the class name:
// a script run by cscript sees "cscript.cNeoCaption".
#include <windows.h>
#include <oaidl.h>

#include <new>
#include <string>
#include <string_view>

#include "base/Error.h"

namespace veltrim {

inline constexpr HRESULT kLibraryError = static_cast<HRESULT>(0x80040619u);

// "<client executable>.<className>".
std::wstring ErrorSource(std::wstring_view className);

// Sets the thread's error object and returns `number`.
HRESULT RaiseError(std::wstring_view className, REFIID iid, std::wstring_view description,
                   HRESULT number = kLibraryError);

// A member that a later version fills in.
HRESULT NotImplemented(std::wstring_view className, REFIID iid, std::wstring_view member);

// Runs a member's body and turns what it throws into an error status; a
// successful member clears any stale error object of the thread.
template <typename Body>
HRESULT Guarded(std::wstring_view className, REFIID iid, Body&& body) noexcept {
    try {
        ::SetErrorInfo(0, nullptr);
        return body();
    } catch (const px::Error& e) {
        std::wstring d(e.description().begin(), e.description().end());
        return RaiseError(className, iid, d, e.number() ? static_cast<HRESULT>(e.number()) : kLibraryError);
    } catch (const std::bad_alloc&) {
        return RaiseError(className, iid, L"Out of memory", E_OUTOFMEMORY);
    } catch (const std::exception& e) {
        std::string what = e.what();
        return RaiseError(className, iid, std::wstring(what.begin(), what.end()));
    }
}

}  // namespace veltrim
