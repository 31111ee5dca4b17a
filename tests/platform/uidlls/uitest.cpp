// UITEST.DLL: a library that carries the user-interface tests' resources only
// (it exports one function so that it links as a library everywhere).
#include "platform/win32.h"

extern "C" int Ui_Present() { return 1; }
