#include "open_files.h"

#include <winbase.h>

namespace platform::files {

DWORD effectiveAccess(DWORD desiredAccess) {
    DWORD access = desiredAccess & (GENERIC_READ | GENERIC_WRITE);
    if (desiredAccess & GENERIC_ALL) access |= GENERIC_READ | GENERIC_WRITE;
    return access;
}

bool OpenFiles::mayOpen(const Lock&, FileId id, DWORD access, DWORD share) const {
    if (access == 0) return true;
    const auto it = files_.find(id);
    if (it == files_.end()) return true;
    const Opens& o = it->second;
    if ((access & GENERIC_READ) && o.denyRead) return false;
    if ((access & GENERIC_WRITE) && o.denyWrite) return false;
    if (!(share & FILE_SHARE_READ) && o.readers) return false;
    if (!(share & FILE_SHARE_WRITE) && o.writers) return false;
    return true;
}

bool OpenFiles::isOpen(const Lock&, FileId id) const { return files_.count(id) != 0; }

void OpenFiles::add(const Lock&, FileId id, DWORD access, DWORD share) {
    if (access == 0) return;
    Opens& o = files_[id];
    ++o.handles;
    o.readers += (access & GENERIC_READ) ? 1 : 0;
    o.writers += (access & GENERIC_WRITE) ? 1 : 0;
    o.denyRead += (share & FILE_SHARE_READ) ? 0 : 1;
    o.denyWrite += (share & FILE_SHARE_WRITE) ? 0 : 1;
}

void OpenFiles::remove(FileId id, DWORD access, DWORD share) {
    if (access == 0) return;
    std::lock_guard guard(mutex_);
    const auto it = files_.find(id);
    if (it == files_.end()) return;
    Opens& o = it->second;
    o.readers -= (access & GENERIC_READ) ? 1 : 0;
    o.writers -= (access & GENERIC_WRITE) ? 1 : 0;
    o.denyRead -= (share & FILE_SHARE_READ) ? 0 : 1;
    o.denyWrite -= (share & FILE_SHARE_WRITE) ? 0 : 1;
    if (--o.handles == 0) files_.erase(it);
}

OpenFiles& openFiles() {
    static OpenFiles instance;
    return instance;
}

}  // namespace platform::files
