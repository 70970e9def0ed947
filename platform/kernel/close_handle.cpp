#include <winbase.h>

#include "handle_table.h"
#include "wait_handles.h"

using namespace platform::kernel;

extern "C" BOOL WINAPI CloseHandle(HANDLE hObject) {
    // Closing a pseudo handle does nothing, as on the platform.
    if (hObject == kCurrentProcessPseudoHandle || hObject == kCurrentThreadPseudoHandle) return TRUE;
    auto object = handleTable().lookup(hObject);
    if (!object || !object->closableByCloseHandle()) {
        setLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    // The object's last reference may go here, outside the table's lock.
    return handleTable().remove(hObject) ? TRUE : (setLastError(ERROR_INVALID_HANDLE), FALSE);
}
