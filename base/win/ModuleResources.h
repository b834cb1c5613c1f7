#pragma once
// Resource identifiers every module of ours carries (the program and the DLLs
// alike), so windows at any layer can find them in Window::Instance().
// Plain defines: the resource compiler reads this file too.
#define IDI_APP 1  // the module's icon
