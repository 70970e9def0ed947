// Compiled (syntax only) by platform_layout_assertion_fires: the assertion below
// is wrong on purpose, so a 32-bit build must reject this file.
#include <windows.h>

PLATFORM_ASSERT_LAYOUT(sizeof(SECURITY_ATTRIBUTES) == 13, "deliberately wrong record size");
