// The GDI calls these tests make, from the platform's GDI header when there
// is one.
#pragma once

#include <windows.h>

#if __has_include(<wingdi.h>)
#include <wingdi.h>
#else
EXTERN_C_START
WINGDIAPI HRGN WINAPI CreateRectRgn(int x1, int y1, int x2, int y2);
WINGDIAPI BOOL WINAPI DeleteObject(HGDIOBJ ho);
EXTERN_C_END
#endif
