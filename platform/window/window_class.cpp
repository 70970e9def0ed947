// RegisterClassW, UnregisterClassW, GetClassInfoW, GetClassNameW and the
// class registry.
#include "window_class.h"

#include <tchar.h>

#include <algorithm>
#include <vector>

#include "platform/kernel/current.h"
#include "platform/kernel/last_error.h"

namespace platform::window {

namespace {

constexpr size_t kMaxClassName = 255;
constexpr int kMaxExtraBytes = 4096;
constexpr ATOM kFirstClassAtom = 0xC000;

struct ClassRegistry {
    std::vector<std::shared_ptr<WindowClass>> application;
    std::vector<std::shared_ptr<WindowClass>> system;
    ATOM nextAtom = kFirstClassAtom;
};

ClassRegistry& registry() {
    static auto* instance = new ClassRegistry;
    return *instance;
}

bool isAtom(LPCWSTR name) { return (reinterpret_cast<ULONG_PTR>(name) >> 16) == 0; }

bool matchesName(const WindowClass& cls, LPCWSTR nameOrAtom) {
    if (isAtom(nameOrAtom)) return cls.atom == static_cast<ATOM>(reinterpret_cast<ULONG_PTR>(nameOrAtom));
    return sameClassName(cls.name, nameOrAtom);
}

std::shared_ptr<WindowClass> findApplicationClass(LPCWSTR nameOrAtom, DWORD process, HINSTANCE instance,
                                                  bool anyInstance) {
    for (auto& cls : registry().application)
        if (cls->ownerProcess == process && (anyInstance || cls->instance == instance) &&
            matchesName(*cls, nameOrAtom))
            return cls;
    return nullptr;
}

std::shared_ptr<WindowClass> findSystemClass(LPCWSTR nameOrAtom) {
    for (auto& cls : registry().system)
        if (matchesName(*cls, nameOrAtom)) return cls;
    return nullptr;
}

// Checks a class record; sets the last error and returns false when it is unusable.
bool validClassRecord(const WNDCLASSW* record) {
    if (!record || !record->lpszClassName || isAtom(record->lpszClassName) || !record->lpfnWndProc ||
        record->cbClsExtra < 0 || record->cbWndExtra < 0 || record->cbClsExtra > kMaxExtraBytes ||
        record->cbWndExtra > kMaxExtraBytes) {
        kernel::setLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    size_t length = 0;
    while (record->lpszClassName[length] && length <= kMaxClassName) ++length;
    if (length == 0 || length > kMaxClassName) {
        kernel::setLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    return true;
}

std::shared_ptr<WindowClass> makeClass(const WNDCLASSW& record) {
    auto cls = std::make_shared<WindowClass>();
    cls->name = record.lpszClassName;
    cls->style = record.style;
    cls->proc = record.lpfnWndProc;
    cls->classExtra = record.cbClsExtra;
    cls->windowExtra = record.cbWndExtra;
    cls->instance = record.hInstance;
    cls->icon = record.hIcon;
    cls->cursor = record.hCursor;
    cls->background = record.hbrBackground;
    cls->menuName = record.lpszMenuName;
    if (record.lpszMenuName && !isAtom(record.lpszMenuName)) {
        cls->menuNameText = record.lpszMenuName;
        cls->menuName = reinterpret_cast<LPCWSTR>(cls->menuNameText.c_str());
    }
    cls->atom = registry().nextAtom++;
    return cls;
}

void fillRecord(const WindowClass& cls, WNDCLASSW& out) {
    out.style = cls.style;
    out.lpfnWndProc = cls.proc;
    out.cbClsExtra = cls.classExtra;
    out.cbWndExtra = cls.windowExtra;
    out.hInstance = cls.instance;
    out.hIcon = cls.icon;
    out.hCursor = cls.cursor;
    out.hbrBackground = cls.background;
    out.lpszMenuName = cls.menuName;
    out.lpszClassName = reinterpret_cast<LPCWSTR>(cls.name.c_str());
}

}  // namespace

bool sameClassName(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (towlower(a[i]) != towlower(b[i])) return false;
    return true;
}

ATOM registerSystemClass(const WNDCLASSW& record) {
    if (!validClassRecord(&record)) return 0;
    WindowLock lock(windowLock());
    if (findSystemClass(record.lpszClassName)) {
        kernel::setLastError(ERROR_CLASS_ALREADY_EXISTS);
        return 0;
    }
    auto cls = makeClass(record);
    cls->system = true;
    cls->instance = nullptr;
    registry().system.push_back(cls);
    return cls->atom;
}

std::shared_ptr<WindowClass> findClassForCreate(LPCWSTR nameOrAtom, HINSTANCE instance) {
    if (!nameOrAtom) {
        kernel::setLastError(ERROR_CANNOT_FIND_WND_CLASS);
        return nullptr;
    }
    const DWORD process = kernel::currentProcessId();
    auto cls = findApplicationClass(nameOrAtom, process, instance, false);
    if (!cls) cls = findApplicationClass(nameOrAtom, process, instance, true);
    if (!cls) cls = findSystemClass(nameOrAtom);
    if (!cls) kernel::setLastError(ERROR_CANNOT_FIND_WND_CLASS);
    return cls;
}

void dropClassesOfProcess(DWORD processId) {
    std::erase_if(registry().application,
                  [&](const std::shared_ptr<WindowClass>& cls) { return cls->ownerProcess == processId; });
}

}  // namespace platform::window

using namespace platform::window;
using platform::kernel::setLastError;

extern "C" {

ATOM WINAPI RegisterClassW(CONST WNDCLASSW* lpWndClass) {
    if (!validClassRecord(lpWndClass)) return 0;
    WindowLock lock(windowLock());
    const DWORD process = platform::kernel::currentProcessId();
    if (findApplicationClass(lpWndClass->lpszClassName, process, lpWndClass->hInstance, false)) {
        setLastError(ERROR_CLASS_ALREADY_EXISTS);
        return 0;
    }
    auto cls = makeClass(*lpWndClass);
    cls->ownerProcess = process;
    registry().application.push_back(cls);
    return cls->atom;
}

BOOL WINAPI UnregisterClassW(LPCWSTR lpClassName, HINSTANCE hInstance) {
    if (!lpClassName) {
        setLastError(ERROR_CLASS_DOES_NOT_EXIST);
        return FALSE;
    }
    WindowLock lock(windowLock());
    auto cls = findApplicationClass(lpClassName, platform::kernel::currentProcessId(), hInstance, false);
    if (!cls) {
        setLastError(ERROR_CLASS_DOES_NOT_EXIST);
        return FALSE;
    }
    if (cls->liveWindows > 0) {
        setLastError(ERROR_CLASS_HAS_WINDOWS);
        return FALSE;
    }
    std::erase(registry().application, cls);
    return TRUE;
}

BOOL WINAPI GetClassInfoW(HINSTANCE hInstance, LPCWSTR lpClassName, LPWNDCLASSW lpWndClass) {
    if (!lpWndClass || !lpClassName) {
        setLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    WindowLock lock(windowLock());
    std::shared_ptr<WindowClass> cls =
        findApplicationClass(lpClassName, platform::kernel::currentProcessId(), hInstance, false);
    if (!cls && !hInstance) cls = findSystemClass(lpClassName);
    if (!cls) {
        setLastError(ERROR_CLASS_DOES_NOT_EXIST);
        return FALSE;
    }
    fillRecord(*cls, *lpWndClass);
    return TRUE;
}

int WINAPI GetClassNameW(HWND hWnd, LPWSTR lpClassName, int nMaxCount) {
    WindowLock lock(windowLock());
    auto window = resolveWindow(hWnd);
    if (!window) return 0;
    if (!lpClassName || nMaxCount <= 0) {
        setLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const std::u16string& name = window->windowClass->name;
    size_t count = std::min(name.size(), static_cast<size_t>(nMaxCount - 1));
    std::copy_n(name.begin(), count, lpClassName);
    lpClassName[count] = 0;
    return static_cast<int>(count);
}

}  // extern "C"
