// TSTORD.DLL: exports at fixed ordinals with a gap (3, 4 and 6 are empty) and
// one entry reachable by ordinal only.
#include "platform/win32.h"

extern "C" int Ord_One() { return 1; }
extern "C" int Ord_Two() { return 2; }
extern "C" int Ord_Five() { return 5; }
extern "C" int Ord_Hidden() { return 7; }
// Defined but not listed in the .def: not reachable from outside.
extern "C" int Ord_Internal() { return -1; }
