#pragma once
// Counting a process's live GDI objects, for leak tests. On Windows
// GetGuiResources answers; Wine 8 does not implement it, so there the count is
// read from the process's GDI handle table (PEB offset 0xF8). Stock objects are
// included under Wine: compare counts, never read them as absolute values.
#include <windows.h>

#include <cstddef>

namespace px::test {

// Live GDI objects of `process` (a handle with PROCESS_QUERY_INFORMATION | PROCESS_VM_READ),
// or -1 when they cannot be counted.
long GdiObjectCount(HANDLE process);
// Of this process.
long GdiObjectCount();

// USER objects where the platform counts them (Windows); -1 under Wine.
long UserObjectCount(HANDLE process);

// Top-level and child windows owned by this process's threads (a USER-object stand-in under Wine).
size_t WindowCountOfThisProcess();

}  // namespace px::test
