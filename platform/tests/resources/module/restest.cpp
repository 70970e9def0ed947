// The resource test module: a library whose only content is its resources.
#include <windows.h>

extern "C" int ResTestVersion(void) { return 1; }
