// Every writer of a picture file (Save As Bitmap, the JPEG and GIF writers,
// the adjustment window's bitmap writer and the scratch file of the current
// capture) against the same faults: a missing folder, a target held open or
// marked read-only, a full disk or a read-only folder (prepared by the
// end-to-end run, which mounts them), names outside the ANSI code page and
// paths longer than MAX_PATH. A failure must say so and leave the user's
// earlier file exactly as it was, with no temporary file left behind.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "base/Error.h"
#include "base/Text.h"
#include "base/win/PngPicture.h"
#include "base/win/SavePicture.h"
#include "base/win/ScopedWin.h"
#include "base/win/StagedFile.h"
#include "capture/ClipboardBitmap.h"
#include "capture/CurrentCapture.h"
#include "export/GifEncoder.h"
#include "export/SaveJPEG.h"
#include "export/cDither8bpp.h"
#include "export/cPalette8bpp.h"
#include "imaging/cDIB32.h"
#include "imaging/cDIBSection.h"

namespace px {
namespace {

constexpr int kW = 37, kH = 23;
const std::string kEarlier = "the user's earlier file";

win::ScopedBitmap PatternBitmap(int w, int h) {
    win::ScopedGetDC screen(nullptr);
    win::ScopedBitmap bmp(::CreateCompatibleBitmap(screen, w, h));
    win::AutoDeleteDC dc(::CreateCompatibleDC(screen));
    win::ScopedSelectObject keep(dc.get(), bmp.get());
    for (int y = 0; y < h; y += 3)
        for (int x = 0; x < w; x += 5) ::SetPixelV(dc.get(), x, y, RGB(x * 6, y * 9, 200));
    return bmp;
}

std::wstring Ext(const std::wstring& path) { return win::ExtendedLengthPath(path); }

bool Exists(const std::wstring& path) { return ::GetFileAttributesW(Ext(path).c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string ReadAll(const std::wstring& path) {
    win::ScopedHandle f(::CreateFileW(Ext(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_EXISTING, 0, nullptr));
    if (f.get() == INVALID_HANDLE_VALUE) {
        f.release();
        return {};
    }
    std::string s;
    char buf[65536];
    DWORD n = 0;
    while (::ReadFile(f.get(), buf, sizeof(buf), &n, nullptr) && n > 0) s.append(buf, n);
    return s;
}

void WriteAll(const std::wstring& path, const std::string& bytes) {
    win::ScopedHandle f(::CreateFileW(Ext(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    ASSERT_NE(f.get(), INVALID_HANDLE_VALUE) << "cannot prepare " << Narrow(path);
    DWORD n = 0;
    ASSERT_TRUE(::WriteFile(f.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &n, nullptr));
}

std::vector<std::wstring> FilesIn(const std::wstring& folder) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW fd;
    HANDLE h = ::FindFirstFileW(Ext(folder + L"\\*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return names;
    do {
        if (std::wstring(fd.cFileName) != L"." && std::wstring(fd.cFileName) != L"..") names.push_back(fd.cFileName);
    } while (::FindNextFileW(h, &fd));
    ::FindClose(h);
    std::sort(names.begin(), names.end());
    return names;
}

void RemoveTree(const std::wstring& folder) {
    for (const std::wstring& name : FilesIn(folder)) {
        const std::wstring p = folder + L"\\" + name;
        const DWORD a = ::GetFileAttributesW(Ext(p).c_str());
        ::SetFileAttributesW(Ext(p).c_str(), FILE_ATTRIBUTE_NORMAL);
        if (a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY))
            RemoveTree(p);
        else
            ::DeleteFileW(Ext(p).c_str());
    }
    ::RemoveDirectoryW(Ext(folder).c_str());
}

std::wstring TestFolder(const wchar_t* name) {
    wchar_t buf[MAX_PATH];
    ::GetTempPathW(MAX_PATH, buf);
    std::wstring dir = std::wstring(buf) + name;
    RemoveTree(dir);
    ::CreateDirectoryW(dir.c_str(), nullptr);
    return dir;
}

// One writer: true when the file was written; `reason` holds what the user would be told.
struct Writer {
    const char* name;
    const wchar_t* extension;
    std::string magic;  // the first bytes of a file it writes
    std::function<bool(HBITMAP picture, const std::wstring& path, std::wstring& reason)> write;
};

const std::vector<Writer>& Writers() {
    static const std::vector<Writer> writers = {
        {"Save As Bitmap", L".bmp", "BM",
         [](HBITMAP picture, const std::wstring& path, std::wstring& reason) {
             const HRESULT hr = win::SavePictureAsBitmapFile(picture, path);
             reason = FAILED(hr) ? win::FileErrorText(hr) + L" " : L"";
             return SUCCEEDED(hr);
         }},
        {"PNG", L".png", "\x89PNG",
         [](HBITMAP picture, const std::wstring& path, std::wstring& reason) {
             reason.clear();
             const bool ok = win::SavePictureAsPngFile(picture, path, &reason);
             if (!ok && reason.empty()) reason = L"(no reason)";
             return ok;
         }},
        {"JPEG", L".jpg", "\xFF\xD8\xFF",
         [](HBITMAP picture, const std::wstring& path, std::wstring& reason) {
             cDIBSection dib;
             dib.CreateFromPicture(picture);
             reason.clear();
             const bool ok = SaveJPG(dib, path, 90, nullptr, [&reason](HWND, const std::wstring& text, UINT) {
                 reason += text;
                 return IDOK;
             });
             // As the window does after a failed write.
             if (!ok) reason += L"Failed to save the picture to the file: '" + path + L"'";
             return ok;
         }},
        {"GIF", L".gif", "GIF8",
         [](HBITMAP picture, const std::wstring& path, std::wstring& reason) {
             cDIB32 dib;
             dib.CreateFromStdPicture(picture);
             cPalette8bpp palette;
             palette.CreateWebsafe();
             cDither8bpp ditherer;
             ditherer.DitherToColorPalette(dib, palette, true);
             reason.clear();
             return SaveGIF(dib, palette, ditherer, -1, path, &reason);
         }},
        {"adjustment bitmap", L".bmp", "BM",
         [](HBITMAP picture, const std::wstring& path, std::wstring& reason) {
             cDIBSectionBC dib;
             dib.CreateFromPicture(picture);
             reason.clear();
             try {
                 // A failed write is reported by the result, a file that cannot be made by error 17.
                 const bool ok = dib.SavePicture(path);
                 if (!ok) reason = L"SavePicture returned false";
                 return ok;
             } catch (const Error& e) {
                 EXPECT_EQ(e.number(), ErrorNumber::CantPerformOperation);
                 reason = Widen(e.what());
                 if (reason.empty()) reason = L"error 17";
                 return false;
             }
         }},
        {"scratch file", L".bmp", "BM",
         [](HBITMAP picture, const std::wstring& path, std::wstring& reason) {
             CurrentCapture capture(path);
             reason.clear();
             const bool ok = capture.Replace(CopyBitmap(picture), &reason);
             EXPECT_EQ(capture.HasPicture(), ok) << "a failed write must not change the capture";
             if (!ok && reason.empty()) reason = L"(no reason)";
             return ok;
         }},
    };
    return writers;
}

class FileFaultsTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = TestFolder(L"pixtrel-file-faults");
        picture_ = PatternBitmap(kW, kH);
    }
    void TearDown() override { RemoveTree(dir_); }

    // The writer fails, says why, and the folder holds exactly what it held before.
    void ExpectRefusedAndKept(const Writer& w, const std::wstring& folder, const std::wstring& target) {
        const std::vector<std::wstring> before = FilesIn(folder);
        const std::string earlier = Exists(target) ? ReadAll(target) : std::string();
        std::wstring reason;
        EXPECT_FALSE(w.write(picture_.get(), target, reason)) << w.name;
        EXPECT_FALSE(reason.empty()) << w.name << ": a failure must tell the user why";
        EXPECT_EQ(FilesIn(folder), before) << w.name << ": a temporary or partial file was left";
        if (!earlier.empty()) {
            EXPECT_EQ(ReadAll(target), earlier) << w.name << ": the earlier file changed";
        }
    }

    void ExpectWritten(const Writer& w, const std::wstring& target) {
        std::wstring reason;
        ASSERT_TRUE(w.write(picture_.get(), target, reason)) << w.name << ": " << Narrow(reason);
        const std::string bytes = ReadAll(target);
        ASSERT_GT(bytes.size(), 40u) << w.name;
        EXPECT_EQ(bytes.substr(0, w.magic.size()), w.magic) << w.name;
    }

    win::ScopedGdiplus gdiplus_{true};
    std::wstring dir_;
    win::ScopedBitmap picture_;
};

TEST_F(FileFaultsTest, MissingFolderIsRefusedAndNothingIsCreated) {
    for (const Writer& w : Writers()) {
        const std::wstring target = dir_ + L"\\Data\\picture" + w.extension;
        ExpectRefusedAndKept(w, dir_, target);
        EXPECT_FALSE(Exists(target)) << w.name;
        EXPECT_FALSE(Exists(dir_ + L"\\Data")) << w.name << ": the folder must not be created";
    }
}

TEST_F(FileFaultsTest, TargetHeldOpenByAnotherProgramKeepsItsBytes) {
    for (const Writer& w : Writers()) {
        const std::wstring target = dir_ + L"\\held" + w.extension;
        WriteAll(target, kEarlier);
        {
            win::ScopedHandle lock(::CreateFileW(target.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                                 OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
            ASSERT_NE(lock.get(), INVALID_HANDLE_VALUE);
            ExpectRefusedAndKept(w, dir_, target);
        }
        EXPECT_EQ(ReadAll(target), kEarlier) << w.name;
        // Released, the same write replaces it.
        ExpectWritten(w, target);
        EXPECT_EQ(FilesIn(dir_), std::vector<std::wstring>{std::wstring(L"held") + w.extension}) << w.name;
        ::DeleteFileW(target.c_str());
    }
}

TEST_F(FileFaultsTest, ReplacingAnEarlierFileLeavesOnlyTheNewFile) {
    for (const Writer& w : Writers()) {
        const std::wstring target = dir_ + L"\\again" + w.extension;
        WriteAll(target, kEarlier);
        ExpectWritten(w, target);
        EXPECT_EQ(FilesIn(dir_), std::vector<std::wstring>{std::wstring(L"again") + w.extension}) << w.name;
        ::DeleteFileW(target.c_str());
    }
}

TEST_F(FileFaultsTest, NamesOutsideTheAnsiCodePageAreWrittenUnderThatName) {
    const std::wstring folder = dir_ + L"\\\u0421\u043d\u0438\u043c\u043a\u0438 \u5199\u771f";
    ASSERT_TRUE(::CreateDirectoryW(folder.c_str(), nullptr));
    for (const Writer& w : Writers()) {
        const std::wstring name = std::wstring(L"\u043a\u0430\u0440\u0442\u0438\u043d\u043a\u0430 \u00fc\u0142\u03a9") +
                                  w.extension;
        ExpectWritten(w, folder + L"\\" + name);
        // Exactly that name: no second file with the characters replaced by '?'.
        EXPECT_EQ(FilesIn(folder), std::vector<std::wstring>{name}) << w.name;
        ::DeleteFileW((folder + L"\\" + name).c_str());
    }
    EXPECT_EQ(FilesIn(dir_).size(), 1u);
}

TEST_F(FileFaultsTest, PathsLongerThanMaxPathAreWritten) {
    std::wstring folder = dir_;
    while (folder.size() < MAX_PATH + 20) {
        folder += L"\\a-rather-long-folder-name-for-the-test";
        ASSERT_TRUE(::CreateDirectoryW(win::ExtendedLengthPath(folder).c_str(), nullptr)) << ::GetLastError();
    }
    for (const Writer& w : Writers()) {
        const std::wstring target = folder + L"\\long" + w.extension;
        ASSERT_GT(target.size(), static_cast<size_t>(MAX_PATH));
        ExpectWritten(w, target);
        EXPECT_EQ(FilesIn(folder), std::vector<std::wstring>{std::wstring(L"long") + w.extension}) << w.name;
        ::DeleteFileW(win::ExtendedLengthPath(target).c_str());
    }
}

TEST(ExtendedLengthPath, PrefixesOnlyLongAbsolutePaths) {
    const std::wstring longTail(MAX_PATH, L'x');
    EXPECT_EQ(win::ExtendedLengthPath(L"C:\\short.bmp"), L"C:\\short.bmp");
    EXPECT_EQ(win::ExtendedLengthPath(L"C:/" + longTail), L"\\\\?\\C:\\" + longTail);
    EXPECT_EQ(win::ExtendedLengthPath(L"\\\\server\\share\\" + longTail), L"\\\\?\\UNC\\server\\share\\" + longTail);
    EXPECT_EQ(win::ExtendedLengthPath(L"\\\\?\\C:\\" + longTail), L"\\\\?\\C:\\" + longTail);
    EXPECT_EQ(win::ExtendedLengthPath(L"relative\\" + longTail), L"relative\\" + longTail);
}

// Every writer's reason comes from here: the system's line for a code it
// knows (the same for a bare code and its HRESULT), else the number, never
// an empty reason.
TEST(FileErrorText, GivesTheSystemsLineOrTheNumberNeverNothing) {
    const std::wstring denied = win::FileErrorText(ERROR_ACCESS_DENIED);
    EXPECT_FALSE(denied.empty());
    EXPECT_EQ(denied.find_first_of(L"\r\n"), std::wstring::npos) << Narrow(denied);
    EXPECT_NE(denied.back(), L' ');
    EXPECT_EQ(win::FileErrorText(HRESULT_FROM_WIN32(ERROR_ACCESS_DENIED)), denied);
    EXPECT_NE(win::FileErrorText(ERROR_DISK_FULL), denied);
    EXPECT_EQ(win::FileErrorText(0xBEEF), L"Error 48879");
    EXPECT_EQ(win::FileErrorText(static_cast<HRESULT>(0xA0DEBEEF)), L"Error 0xA0DEBEEF");
}

// The current capture survives a scratch file that cannot be replaced: the
// picture object and the file's bytes stay those of the earlier capture.
TEST_F(FileFaultsTest, CaptureSurvivesAScratchFileThatCannotBeReplaced) {
    const std::wstring scratch = dir_ + L"\\temp.bmp";
    CurrentCapture capture(scratch);
    ASSERT_TRUE(capture.Replace(PatternBitmap(kW, kH)));
    const HBITMAP first = capture.Picture();
    const std::string firstFile = ReadAll(scratch);
    int changes = 0;
    capture.Changed.connect([&changes] { ++changes; });
    win::ScopedHandle lock(::CreateFileW(scratch.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_NE(lock.get(), INVALID_HANDLE_VALUE);
    std::wstring reason;
    EXPECT_FALSE(capture.Replace(PatternBitmap(kW * 2, kH), &reason));
    EXPECT_FALSE(reason.empty());
    lock.reset();
    EXPECT_EQ(capture.Picture(), first);
    EXPECT_EQ(capture.Size().cx, kW);
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(ReadAll(scratch), firstFile);
    EXPECT_EQ(FilesIn(dir_), std::vector<std::wstring>{L"temp.bmp"});
}

// Folders the end-to-end run prepares on a real filesystem: a nearly full
// one and a read-only one, each holding "earlier<ext>" files. Without them
// (a plain win run) these cases are skipped.
std::wstring PreparedFolder(const char* variable) {
    wchar_t buf[1024];
    const DWORD n = ::GetEnvironmentVariableW(Widen(variable).c_str(), buf, 1024);
    return n > 0 && n < 1024 ? std::wstring(buf, n) : std::wstring();
}

TEST_F(FileFaultsTest, FullDiskIsRefusedAndKeepsTheEarlierFile) {
    const std::wstring folder = PreparedFolder("PIXTREL_FULL_DISK_FOLDER");
    if (folder.empty()) GTEST_SKIP() << "needs the tiny filesystem the end-to-end run mounts";
    picture_ = PatternBitmap(400, 300);  // larger than the room left
    for (const Writer& w : Writers()) {
        const std::wstring target = folder + L"\\earlier" + w.extension;
        ASSERT_TRUE(Exists(target)) << Narrow(target);
        ExpectRefusedAndKept(w, folder, target);
    }
}

TEST_F(FileFaultsTest, ReadOnlyFolderIsRefusedAndKeepsTheEarlierFile) {
    const std::wstring folder = PreparedFolder("PIXTREL_READONLY_FOLDER");
    if (folder.empty()) GTEST_SKIP() << "needs the read-only filesystem the end-to-end run mounts";
    for (const Writer& w : Writers()) {
        const std::wstring target = folder + L"\\earlier" + w.extension;
        ASSERT_TRUE(Exists(target)) << Narrow(target);
        ExpectRefusedAndKept(w, folder, target);
        ExpectRefusedAndKept(w, folder, folder + L"\\new" + w.extension);
    }
}

}  // namespace
}  // namespace px
