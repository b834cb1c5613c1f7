#pragma once
// Resource identifiers of the program (shared by resources.rc and the code).
#define IDI_APP 1
#define IDR_START_PICTURE 101  // GIF shown on the start window
