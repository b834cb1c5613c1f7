#pragma once
// The platform's hotkey table seen from the tests: whether a key is free now,
// and another window holding keys for the length of a test.
#include <gtest/gtest.h>

#include <windows.h>

#include <initializer_list>
#include <vector>

#include "app/core/CaptureKey.h"
#include "base/Text.h"
#include "tests/win/ControlTestHost.h"

namespace px::test {

// Whether a fresh window could register the key now (and gives it back at once).
inline bool KeyIsFree(CaptureKey key) {
    TestHost probe(10, 10, 20, 20);
    if (!::RegisterHotKey(probe.hwnd(), 77, key.modifiers, key.virtualKey)) return false;
    ::UnregisterHotKey(probe.hwnd(), 77);
    return true;
}

class KeyHolder {
public:
    KeyHolder(std::initializer_list<CaptureKey> keys) : window_(10, 40, 20, 20) {
        int id = 100;
        for (const CaptureKey& k : keys) {
            EXPECT_TRUE(::RegisterHotKey(window_.hwnd(), id, k.modifiers, k.virtualKey))
                << "the test needs " << Narrow(CaptureKeyName(k)) << " free to take it";
            ids_.push_back(id++);
        }
    }
    ~KeyHolder() {
        for (int id : ids_) ::UnregisterHotKey(window_.hwnd(), id);
    }
    KeyHolder(const KeyHolder&) = delete;
    KeyHolder& operator=(const KeyHolder&) = delete;

private:
    TestHost window_;
    std::vector<int> ids_;
};

}  // namespace px::test
