// GetStockObject, DeleteObject, GetObjectW, GetObjectType.
#include <windows.h>

#include <algorithm>
#include <cstring>

#include "device_context.h"
#include "gdi_objects.h"

using namespace platform::gdi;
using platform::kernel::handleTable;
using platform::kernel::setLastError;

extern "C" HGDIOBJ WINAPI GetStockObject(int fnObject) {
    HGDIOBJ object = stockObject(fnObject);
    if (!object) setLastError(ERROR_INVALID_PARAMETER);
    return object;
}

extern "C" BOOL WINAPI DeleteObject(HGDIOBJ hObject) {
    std::shared_ptr<platform::kernel::KernelObject> deleted;  // freed after the lock
    std::lock_guard lock(gdiLock());
    auto object = resolveObject<GdiObject>(hObject);
    if (!object || dynamic_cast<DeviceContext*>(object.get())) {
        setLastError(ERROR_INVALID_HANDLE);  // DeleteDC deletes device contexts
        return FALSE;
    }
    if (object->permanent()) return TRUE;  // stock objects stay
    if (object->selections > 0) {
        setLastError(ERROR_BUSY);  // still selected into a device context
        return FALSE;
    }
    deleted = handleTable().remove(hObject);
    return TRUE;
}

namespace {

// Copies a logical record: as much of it as the buffer takes.
template <class Record>
int copyRecord(const Record& record, int cbBuffer, LPVOID lpvObject) {
    if (!lpvObject) return sizeof(Record);
    const int count = std::min<int>(cbBuffer, sizeof(Record));
    std::memcpy(lpvObject, &record, count);
    return count;
}

int describeBitmap(const Bitmap& bitmap, int cbBuffer, LPVOID lpvObject) {
    const BITMAP bm = bitmap.describe();
    if (bitmap.isDibSection() && cbBuffer >= static_cast<int>(sizeof(DIBSECTION))) {
        if (!lpvObject) return sizeof(DIBSECTION);
        const DibFormat& f = *bitmap.dibFormat();
        DIBSECTION ds{};
        ds.dsBm = bm;
        ds.dsBmih.biSize = sizeof(BITMAPINFOHEADER);
        ds.dsBmih.biWidth = f.width;
        ds.dsBmih.biHeight = f.topDown ? -f.height : f.height;
        ds.dsBmih.biPlanes = 1;
        ds.dsBmih.biBitCount = static_cast<WORD>(f.bitsPerPixel);
        ds.dsBmih.biCompression = f.compression;
        ds.dsBmih.biSizeImage = static_cast<DWORD>(f.imageSize());
        ds.dsBmih.biClrUsed = static_cast<DWORD>(f.palette.size());
        if (f.compression == BI_BITFIELDS) std::copy(std::begin(f.masks), std::end(f.masks), ds.dsBitfields);
        std::memcpy(lpvObject, &ds, sizeof ds);
        return sizeof(DIBSECTION);
    }
    if (!lpvObject) return sizeof(BITMAP);
    if (cbBuffer < static_cast<int>(sizeof(BITMAP))) {
        setLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::memcpy(lpvObject, &bm, sizeof bm);
    return sizeof(BITMAP);
}

}  // namespace

extern "C" int WINAPI GetObjectW(HGDIOBJ hgdiobj, int cbBuffer, LPVOID lpvObject) {
    std::lock_guard lock(gdiLock());
    auto object = resolveObject<GdiObject>(hgdiobj);
    if (!object) return 0;
    if (cbBuffer < 0) {
        setLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if (auto* bitmap = dynamic_cast<Bitmap*>(object.get())) return describeBitmap(*bitmap, cbBuffer, lpvObject);
    if (auto* brush = dynamic_cast<Brush*>(object.get())) return copyRecord(brush->logBrush, cbBuffer, lpvObject);
    if (auto* pen = dynamic_cast<Pen*>(object.get())) return copyRecord(pen->logPen, cbBuffer, lpvObject);
    if (auto* font = dynamic_cast<Font*>(object.get())) return copyRecord(font->logFont, cbBuffer, lpvObject);
    setLastError(ERROR_INVALID_HANDLE);  // regions and device contexts have no record
    return 0;
}

extern "C" DWORD WINAPI GetObjectType(HGDIOBJ h) {
    auto object = resolveObject<GdiObject>(h);
    return object ? object->objectType() : 0;
}
