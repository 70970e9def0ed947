// LoadLibraryW, FreeLibrary, GetProcAddressW, GetModuleHandleW, GetModuleFileNameW.
#include <windows.h>

#include <algorithm>

#include "module_search.h"
#include "platform/kernel/handle_table.h"
#include "platform/kernel/thread.h"
#include "process_modules.h"

namespace platform::loader {

using namespace platform::kernel;

namespace {

using DllMainProc = BOOL(WINAPI*)(HINSTANCE, DWORD, LPVOID);

bool sameName(const std::u16string& a, const std::u16string& b) { return _wcsicmp(a.c_str(), b.c_str()) == 0; }

std::vector<std::shared_ptr<Module>> modulesOf(const Process& process) {
    std::vector<std::shared_ptr<Module>> result;
    KernelLock lock(kernelLock());
    for (auto& object : process.modules())
        if (auto module = std::dynamic_pointer_cast<Module>(object)) result.push_back(module);
    return result;
}

void logLoaderLine(const std::u16string& text) {
    OutputDebugStringW((u"Loader: " + text + u"\r\n").c_str());
}

}  // namespace

std::shared_ptr<Module> moduleByHandle(HMODULE handle) {
    return handleTable().lookupAs<Module>(reinterpret_cast<HANDLE>(handle));
}

std::shared_ptr<Module> mainModuleOf(const Process& process) {
    KernelLock lock(kernelLock());
    return std::dynamic_pointer_cast<Module>(process.mainModule());
}

std::shared_ptr<Module> loadIntoCurrentProcess(std::u16string_view name, bool isLibrary) {
    auto process = currentProcessPtr();
    std::vector<std::u16string> folders;
    if (process.get() != &hostProcess()) folders.push_back(folderOf(process->imagePath()));
    if (std::find(folders.begin(), folders.end(), u"\\Windows") == folders.end()) folders.push_back(u"\\Windows");

    DWORD error = ERROR_SUCCESS;
    auto image = findImage(name, folders, isLibrary ? u".dll" : u".exe", error);
    if (!image) {
        setLastError(isLibrary && error == ERROR_FILE_NOT_FOUND ? ERROR_MOD_NOT_FOUND : error);
        return nullptr;
    }
    for (auto& loaded : modulesOf(*process)) {
        if (sameName(loaded->devicePath(), image->devicePath)) {
            KernelLock lock(kernelLock());
            ++loaded->loadCount;
            return loaded;
        }
    }
    std::string detail;
    auto module = Module::load(image->devicePath, image->bytes, error, detail);
    if (!module) {
        logLoaderLine(u"cannot load " + image->devicePath + u": " + std::u16string(detail.begin(), detail.end()));
        setLastError(error);
        return nullptr;
    }
    module->isLibrary = isLibrary;
    module->loadCount = 1;
    module->handle = reinterpret_cast<HMODULE>(handleTable().insert(module));
    {
        KernelLock lock(kernelLock());
        process->addModule(module);
    }
    if (isLibrary) {
        if (auto entry = reinterpret_cast<DllMainProc>(module->ownSymbol("DllMain"))) {
            if (!entry(reinterpret_cast<HINSTANCE>(module->handle), DLL_PROCESS_ATTACH, nullptr)) {
                handleTable().remove(reinterpret_cast<HANDLE>(module->handle));
                KernelLock lock(kernelLock());
                process->removeModule(module.get());
                setLastError(ERROR_DLL_INIT_FAILED);
                return nullptr;
            }
            module->attached = true;
        }
    }
    return module;
}

}  // namespace platform::loader

using namespace platform::loader;
using namespace platform::kernel;

extern "C" {

HMODULE WINAPI LoadLibraryW(LPCWSTR lpLibFileName) {
    if (!lpLibFileName || !*lpLibFileName) {
        setLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto module = loadIntoCurrentProcess(lpLibFileName, true);
    return module ? module->handle : nullptr;
}

BOOL WINAPI FreeLibrary(HMODULE hLibModule) {
    auto module = moduleByHandle(hLibModule);
    auto process = currentProcessPtr();
    if (!module || !module->isLibrary) {
        setLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    {
        KernelLock lock(kernelLock());
        if (--module->loadCount > 0) return TRUE;
    }
    if (module->attached) {
        using DllMainProc = BOOL(WINAPI*)(HINSTANCE, DWORD, LPVOID);
        if (auto entry = reinterpret_cast<DllMainProc>(module->ownSymbol("DllMain")))
            entry(reinterpret_cast<HINSTANCE>(module->handle), DLL_PROCESS_DETACH, nullptr);
        module->attached = false;
    }
    handleTable().remove(reinterpret_cast<HANDLE>(module->handle));
    KernelLock lock(kernelLock());
    process->removeModule(module.get());
    return TRUE;
}

FARPROC WINAPI GetProcAddressW(HMODULE hModule, LPCWSTR lpProcName) {
    auto module = moduleByHandle(hModule);
    if (!module) {
        setLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    // Exports are found by name only; a small value would be an ordinal.
    if (reinterpret_cast<uintptr_t>(lpProcName) < 0x10000) {
        setLastError(ERROR_PROC_NOT_FOUND);
        return nullptr;
    }
    std::string name;
    for (const WCHAR* p = lpProcName; *p; ++p) {
        if (*p > 0x7F) {
            setLastError(ERROR_PROC_NOT_FOUND);
            return nullptr;
        }
        name += static_cast<char>(*p);
    }
    void* symbol = module->ownSymbol(name.c_str());
    if (!symbol) {
        setLastError(ERROR_PROC_NOT_FOUND);
        return nullptr;
    }
    return reinterpret_cast<FARPROC>(symbol);
}

HMODULE WINAPI GetModuleHandleW(LPCWSTR lpModuleName) {
    auto process = currentProcessPtr();
    if (!lpModuleName) {
        auto main = mainModuleOf(*process);
        return main ? main->handle : nullptr;
    }
    std::u16string wanted(lpModuleName);
    for (auto& module : modulesOf(*process)) {
        std::u16string file = module->fileName();
        std::u16string stem = file.substr(0, file.find_last_of(u'.'));
        if (sameName(file, wanted) || sameName(stem, wanted) || sameName(module->devicePath(), wanted))
            return module->handle;
    }
    setLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
}

DWORD WINAPI GetModuleFileNameW(HMODULE hModule, LPWSTR lpFilename, DWORD nSize) {
    std::shared_ptr<Module> module = hModule ? moduleByHandle(hModule) : mainModuleOf(*currentProcessPtr());
    if (!module) {
        setLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    if (!lpFilename || nSize == 0) {
        setLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    const std::u16string& path = module->devicePath();
    DWORD copied = static_cast<DWORD>(std::min<size_t>(path.size(), nSize - 1));
    std::copy_n(path.begin(), copied, lpFilename);
    lpFilename[copied] = 0;
    if (copied < path.size()) setLastError(ERROR_INSUFFICIENT_BUFFER);
    return copied;
}

}  // extern "C"
