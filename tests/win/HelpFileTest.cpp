// The built help file, read through the platform's storage reader for help
// files: its context-ID table (#IVB) must map 1, 6 and 7 to our topics as
// paths inside the file, and the window type "Main" must carry our caption.
// A help window coming back from the viewer proves none of this: under Wine
// a window comes back even for an alias that points nowhere.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "base/win/ScopedWin.h"

// The help-file storage interface (itss.dll); MinGW ships no header for it.
// Declared outside the anonymous namespace: there the compiler would see that
// nothing implements it and treat every call through it as unreachable.
const CLSID kCLSID_ITStorage = {0x5d02926a, 0x212e, 0x11d0, {0x9d, 0xf9, 0x00, 0xa0, 0xc9, 0x22, 0xe6, 0xec}};
const IID kIID_ITStorage = {0x88cc31de, 0x27ab, 0x11d0, {0x9d, 0xf9, 0x00, 0xa0, 0xc9, 0x22, 0xe6, 0xec}};

struct IITStorage : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE StgCreateDocfile(const WCHAR*, DWORD, DWORD, IStorage**) = 0;
    virtual HRESULT STDMETHODCALLTYPE StgCreateDocfileOnILockBytes(ILockBytes*, DWORD, DWORD, IStorage**) = 0;
    virtual HRESULT STDMETHODCALLTYPE StgIsStorageFile(const WCHAR*) = 0;
    virtual HRESULT STDMETHODCALLTYPE StgIsStorageILockBytes(ILockBytes*) = 0;
    virtual HRESULT STDMETHODCALLTYPE StgOpenStorage(const WCHAR*, IStorage*, DWORD, SNB, DWORD, IStorage**) = 0;
};

namespace {

std::wstring TestFolder() {
    wchar_t path[MAX_PATH];
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring s(path);
    return s.substr(0, s.rfind(L'\\'));
}

// The program folder the build makes beside the tests (build/win/Orvo-Pixtrel).
std::wstring BuiltHelpFile() { return TestFolder() + L"\\..\\..\\Orvo-Pixtrel\\Help\\Pixtrel.chm"; }

class HelpStorage {
public:
    explicit HelpStorage(const std::wstring& file) {
        IITStorage* its = nullptr;
        if (FAILED(::CoCreateInstance(kCLSID_ITStorage, nullptr, CLSCTX_INPROC_SERVER, kIID_ITStorage,
                                      reinterpret_cast<void**>(&its))))
            return;
        its->StgOpenStorage(file.c_str(), nullptr, STGM_READ | STGM_SHARE_DENY_WRITE, nullptr, 0, &storage_);
        its->Release();
    }
    ~HelpStorage() {
        if (storage_) storage_->Release();
    }
    bool IsOpen() const { return storage_ != nullptr; }

    std::vector<uint8_t> Stream(const wchar_t* name) const {
        std::vector<uint8_t> bytes;
        IStream* s = nullptr;
        if (!storage_ || FAILED(storage_->OpenStream(name, nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0, &s)))
            return bytes;
        uint8_t buf[4096];
        ULONG got = 0;
        while (SUCCEEDED(s->Read(buf, sizeof(buf), &got)) && got > 0) bytes.insert(bytes.end(), buf, buf + got);
        s->Release();
        return bytes;
    }

private:
    IStorage* storage_ = nullptr;
};

uint32_t Dword(const std::vector<uint8_t>& b, size_t at) {
    uint32_t v = 0;
    if (at + 4 <= b.size()) std::memcpy(&v, b.data() + at, 4);
    return v;
}

// A zero-terminated string of #STRINGS; "<bad offset>" when it points outside.
std::string StringAt(const std::vector<uint8_t>& strings, uint32_t offset) {
    if (offset >= strings.size()) return "<bad offset>";
    const char* p = reinterpret_cast<const char*>(strings.data() + offset);
    return std::string(p, ::strnlen(p, strings.size() - offset));
}

// Every string of the #STRINGS block.
std::vector<std::string> AllStrings(const std::vector<uint8_t>& strings) {
    std::vector<std::string> all;
    for (size_t i = 1; i < strings.size();) {
        std::string s = StringAt(strings, static_cast<uint32_t>(i));
        i += s.size() + 1;
        if (!s.empty()) all.push_back(s);
    }
    return all;
}

class HelpFile : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(::GetFileAttributesW(BuiltHelpFile().c_str()), INVALID_FILE_ATTRIBUTES)
            << "the build puts Help\\Pixtrel.chm into the program folder";
        ASSERT_TRUE(storage.IsOpen());
        strings = storage.Stream(L"#STRINGS");
        ASSERT_FALSE(strings.empty());
    }
    HelpStorage storage{BuiltHelpFile()};
    std::vector<uint8_t> strings;
};

TEST_F(HelpFile, ContextIdsMapToTopicsInsideTheFile) {
    const auto ivb = storage.Stream(L"#IVB");
    ASSERT_GE(ivb.size(), 4u);
    const uint32_t length = Dword(ivb, 0);
    ASSERT_EQ(length % 8, 0u);
    ASSERT_LE(length + 4, ivb.size());
    std::map<uint32_t, std::string> aliases;
    for (size_t at = 4; at + 8 <= 4 + length; at += 8) aliases[Dword(ivb, at)] = StringAt(strings, Dword(ivb, at + 4));
    const std::map<uint32_t, std::string> expected{{1, "/howto.htm"}, {6, "/ordering.htm"}, {7, "/license.htm"}};
    EXPECT_EQ(aliases, expected);
}

TEST_F(HelpFile, WindowTypeMainCarriesOurCaption) {
    const auto windows = storage.Stream(L"#WINDOWS");
    ASSERT_GE(windows.size(), 8u);
    const uint32_t count = Dword(windows, 0), entrySize = Dword(windows, 4);
    ASSERT_GE(count, 1u);
    ASSERT_GE(entrySize, 0x70u);
    ASSERT_LE(8 + static_cast<size_t>(count) * entrySize, windows.size());
    bool found = false;
    for (uint32_t i = 0; i < count; ++i) {
        const size_t e = 8 + static_cast<size_t>(i) * entrySize;
        if (StringAt(strings, Dword(windows, e + 0x08)) != "Main") continue;
        found = true;
        EXPECT_EQ(StringAt(strings, Dword(windows, e + 0x14)), "Orvo Pixtrel Help");
        EXPECT_EQ(StringAt(strings, Dword(windows, e + 0x60)), "toc.hhc");
        EXPECT_EQ(StringAt(strings, Dword(windows, e + 0x64)), "index.hhk");
        EXPECT_EQ(StringAt(strings, Dword(windows, e + 0x68)), "howto.htm");
    }
    EXPECT_TRUE(found) << "no window type \"Main\"";
}

// Paths in the file are relative to it: a folder of the machine that built it
// (an absolute alias) breaks the context-ID look-up everywhere else.
TEST_F(HelpFile, NoStringHoldsAHostFolder) {
    const auto all = AllStrings(strings);
    ASSERT_FALSE(all.empty());
    for (const std::string& s : all) {
        EXPECT_EQ(s.find('\\'), std::string::npos) << s;
        EXPECT_EQ(s.find(":/"), std::string::npos) << s;
        const bool rooted = !s.empty() && s[0] == '/';
        if (rooted) {
            EXPECT_EQ(s.find('/', 1), std::string::npos) << "a folder in " << s;
        }
    }
}

TEST_F(HelpFile, ContentsAndIndexAreInside) {
    EXPECT_FALSE(storage.Stream(L"toc.hhc").empty());
    EXPECT_FALSE(storage.Stream(L"index.hhk").empty());
    for (const wchar_t* topic : {L"howto.htm", L"ordering.htm", L"license.htm"})
        EXPECT_FALSE(storage.Stream(topic).empty()) << topic;
}

}  // namespace
