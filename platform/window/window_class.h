// Window classes: application classes belong to the process (and module) that
// registered them; system classes ("Dialog" and the controls, registered by
// the dialog manager) serve every process.
#pragma once

#include <windows.h>

#include <memory>

#include "window.h"

namespace platform::window {

// Registers a class that every process can use. Returns its atom, 0 (with
// ERROR_CLASS_ALREADY_EXISTS) when a system class of that name exists.
ATOM registerSystemClass(const WNDCLASSW& windowClass);

// The class CreateWindowExW uses for a name or atom given by the calling
// process with the given module: that module's class, else one of the
// process's other classes of that name, else a system class. Null (with
// ERROR_CANNOT_FIND_WND_CLASS) when there is none. Window lock held.
std::shared_ptr<WindowClass> findClassForCreate(LPCWSTR nameOrAtom, HINSTANCE instance);

// Forgets the application classes of a process that has ended. Window lock held.
void dropClassesOfProcess(DWORD processId);

// Case-insensitive comparison of class names, as the platform compares them.
bool sameClassName(std::u16string_view a, std::u16string_view b);

}  // namespace platform::window
