// The platform's main header.
#pragma once

#include <windef.h>
#include <winerror.h>
#include <winbase.h>
#include <wingdi.h>
#include <winuser.h>
#include <winreg.h>
#include <winioctl.h>
#include <kfuncs.h>
#include <dbgapi.h>
#include <tchar.h>
