// CreateFileW and the calls made through a file or stream-device handle.
#include <winbase.h>

#include "device_path.h"
#include "file_object.h"
#include "platform/kernel/handle_table.h"
#include "platform/kernel/last_error.h"
#include "storage.h"
#include "stream_devices.h"

using platform::kernel::resolveHandle;
using platform::kernel::setLastError;
namespace files = platform::files;

namespace {

HANDLE failWith(DWORD error) {
    setLastError(error);
    return INVALID_HANDLE_VALUE;
}

HANDLE insertHandle(std::shared_ptr<files::IoHandle> object, DWORD successError) {
    HANDLE handle = platform::kernel::handleTable().insert(std::move(object));
    if (!handle) return failWith(ERROR_TOO_MANY_OPEN_FILES);
    setLastError(successError);
    return handle;
}

}  // namespace

extern "C" {

HANDLE WINAPI CreateFileW(LPCWSTR lpFileName, DWORD dwDesiredAccess, DWORD dwShareMode,
                          LPSECURITY_ATTRIBUTES, DWORD dwCreationDisposition, DWORD dwFlagsAndAttributes,
                          HANDLE) {
    DWORD error = ERROR_SUCCESS;
    const auto text = files::pathArgument(lpFileName, error);
    if (!text) return failWith(error);

    // A device name opens its driver; the device decides what access, share
    // and creation values mean to it, so they reach it unchecked.
    if (const auto device = files::streamDeviceName(*text)) {
        auto object = files::openStreamDevice(*device, dwDesiredAccess, dwShareMode, error);
        if (!object) return failWith(error);
        return insertHandle(std::move(object), ERROR_SUCCESS);
    }

    const auto path = files::resolveDevicePath(*text, error);
    if (!path) return failWith(error);
    auto opened = files::openFile(*path, dwDesiredAccess, dwShareMode, dwCreationDisposition,
                                  dwFlagsAndAttributes, error);
    if (!opened) return failWith(error);
    const bool reportsExisting = dwCreationDisposition == CREATE_ALWAYS || dwCreationDisposition == OPEN_ALWAYS;
    return insertHandle(std::move(opened->file),
                        opened->existed && reportsExisting ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
}

BOOL WINAPI ReadFile(HANDLE hFile, LPVOID lpBuffer, DWORD nNumberOfBytesToRead, LPDWORD lpNumberOfBytesRead,
                     LPOVERLAPPED) {
    if (lpNumberOfBytesRead) *lpNumberOfBytesRead = 0;
    const auto io = resolveHandle<files::IoHandle>(hFile);
    if (!io) return FALSE;
    DWORD done = 0;
    const bool ok = io->read(lpBuffer, nNumberOfBytesToRead, done);
    if (lpNumberOfBytesRead) *lpNumberOfBytesRead = done;
    return ok;
}

BOOL WINAPI WriteFile(HANDLE hFile, LPCVOID lpBuffer, DWORD nNumberOfBytesToWrite,
                      LPDWORD lpNumberOfBytesWritten, LPOVERLAPPED) {
    if (lpNumberOfBytesWritten) *lpNumberOfBytesWritten = 0;
    const auto io = resolveHandle<files::IoHandle>(hFile);
    if (!io) return FALSE;
    DWORD done = 0;
    const bool ok = io->write(lpBuffer, nNumberOfBytesToWrite, done);
    if (lpNumberOfBytesWritten) *lpNumberOfBytesWritten = done;
    return ok;
}

DWORD WINAPI SetFilePointer(HANDLE hFile, LONG lDistanceToMove, PLONG lpDistanceToMoveHigh,
                            DWORD dwMoveMethod) {
    const auto io = resolveHandle<files::IoHandle>(hFile);
    if (!io) return INVALID_SET_FILE_POINTER;
    const int64_t distance =
        lpDistanceToMoveHigh
            ? static_cast<int64_t>((static_cast<uint64_t>(static_cast<uint32_t>(*lpDistanceToMoveHigh)) << 32) |
                                   static_cast<uint32_t>(lDistanceToMove))
            : static_cast<int64_t>(lDistanceToMove);
    const auto position = io->setPointer(distance, lpDistanceToMoveHigh != nullptr, dwMoveMethod);
    if (!position) return INVALID_SET_FILE_POINTER;
    if (lpDistanceToMoveHigh) *lpDistanceToMoveHigh = static_cast<LONG>(*position >> 32);
    const auto low = static_cast<DWORD>(*position);
    // A position whose low part looks like the failure value is told apart by
    // the last error.
    if (low == INVALID_SET_FILE_POINTER) setLastError(NO_ERROR);
    return low;
}

DWORD WINAPI GetFileSize(HANDLE hFile, LPDWORD lpFileSizeHigh) {
    const auto io = resolveHandle<files::IoHandle>(hFile);
    if (!io) return INVALID_FILE_SIZE;
    const auto size = io->size();
    if (!size) return INVALID_FILE_SIZE;
    if (lpFileSizeHigh) *lpFileSizeHigh = static_cast<DWORD>(*size >> 32);
    const auto low = static_cast<DWORD>(*size);
    if (low == INVALID_FILE_SIZE) setLastError(NO_ERROR);
    return low;
}

BOOL WINAPI SetEndOfFile(HANDLE hFile) {
    const auto io = resolveHandle<files::IoHandle>(hFile);
    return io && io->setEndOfFile();
}

BOOL WINAPI FlushFileBuffers(HANDLE hFile) {
    const auto io = resolveHandle<files::IoHandle>(hFile);
    return io && io->flush();
}

BOOL WINAPI DeviceIoControl(HANDLE hDevice, DWORD dwIoControlCode, LPVOID lpInBuffer, DWORD nInBufferSize,
                            LPVOID lpOutBuffer, DWORD nOutBufferSize, LPDWORD lpBytesReturned,
                            LPOVERLAPPED) {
    const auto io = resolveHandle<files::IoHandle>(hDevice);
    return io && io->ioControl(dwIoControlCode, lpInBuffer, nInBufferSize, lpOutBuffer, nOutBufferSize,
                               lpBytesReturned);
}

}  // extern "C"
