// The system input stream: taps, hardware keys and keybd_event, hotkeys, the
// key state and the input log; keybd_event, GetKeyState, GetAsyncKeyState.
#include "input.h"

#include <atomic>
#include <cstdio>
#include <mutex>

#include "focus.h"
#include "hit_test.h"
#include "hotkeys.h"
#include "keyboard.h"
#include "messaging.h"
#include "notifications.h"
#include "platform/text/utf.h"
#include "screen.h"

namespace platform::window {

namespace {

struct InputState {
    std::mutex stream;  // one event at a time, in the order they come
    // Window lock held for these.
    KeyStateArray keys{};
    KeyStateArray pressedSinceQuery{};
    std::vector<InputRecord> log;
    uint64_t nextSequence = 1;
};

InputState& state() {
    static auto* instance = new InputState;
    return *instance;
}

// The pointer is read while queues are locked, so it needs no lock of its own.
std::atomic<uint64_t>& pointer() {
    static std::atomic<uint64_t> packed{0};
    return packed;
}

void setPointer(int x, int y) {
    pointer() = (static_cast<uint64_t>(static_cast<uint32_t>(x)) << 32) | static_cast<uint32_t>(y);
}

InputRecord finish(InputRecord record) {
    WindowLock lock(windowLock());
    if (record.target)
        if (auto window = findWindow(record.target)) record.targetClass = window->windowClass->name;
    record.sequence = state().nextSequence++;
    state().log.push_back(record);
    return record;
}

LPARAM keyLParam(BYTE scan, bool extended, bool wasDown, bool up) {
    DWORD value = 1u | (static_cast<DWORD>(scan) << 16);
    if (extended) value |= 1u << 24;
    if (wasDown) value |= 1u << 30;
    if (up) value |= 1u << 31;
    return static_cast<LPARAM>(static_cast<LONG>(value));
}

bool isAltKey(BYTE vk) { return vk == VK_MENU || vk == VK_LMENU || vk == VK_RMENU; }

InputRecord handleKey(BYTE vk, BYTE scan, DWORD flags, InputSource source) {
    InputRecord record;
    const bool up = (flags & KEYEVENTF_KEYUP) != 0;
    record.kind = up ? InputKind::KeyUp : InputKind::KeyDown;
    record.source = source;
    record.vk = vk;
    record.silent = (flags & KEYEVENTF_SILENT) != 0;
    if (vk == 0 || vk == 0xFF) {
        record.delivery = InputDelivery::Invalid;
        return finish(record);
    }
    std::lock_guard stream(state().stream);
    {
        WindowLock lock(windowLock());
        KeyStateArray& keys = state().keys;
        const UINT modifiers = heldModifiers(keys);
        const bool wasDown = (keys[vk] & 0x80) != 0;
        applyKey(keys, vk, !up);
        if (!up) state().pressedSinceQuery[vk] = 1;
        auto snapshot = std::make_shared<const KeyStateArray>(keys);

        if (const Hotkey* hotkey = matchHotkey(modifiers, vk, up)) {
            std::shared_ptr<ThreadQueue> queue;
            if (hotkey->hwnd) {
                if (auto window = findWindow(hotkey->hwnd)) queue = window->queue;
            } else {
                queue = queueOfThread(hotkey->threadId);
            }
            record.delivery = InputDelivery::Hotkey;
            record.target = hotkey->hwnd;
            record.message = WM_HOTKEY;
            record.hotkeyId = hotkey->id;
            UINT reported = hotkey->modifiers & ~static_cast<UINT>(MOD_KEYUP);
            if (up) reported |= MOD_KEYUP;
            if (queue) postHotkey(*queue, hotkey->hwnd, static_cast<WPARAM>(hotkey->id), MAKELPARAM(reported, vk));
        } else if (auto foreground = foregroundQueue()) {
            HWND target = foreground->focus && findWindow(foreground->focus) ? foreground->focus : foreground->active;
            if (target && findWindow(target)) {
                const bool alt = (keys[VK_MENU] & 0x80) || isAltKey(vk);
                const bool system = alt && !(keys[VK_CONTROL] & 0x80);
                UINT message = up ? (system ? WM_SYSKEYUP : WM_KEYUP) : (system ? WM_SYSKEYDOWN : WM_KEYDOWN);
                LPARAM lParam = keyLParam(scan, (flags & KEYEVENTF_EXTENDEDKEY) != 0, up || wasDown, up);
                postInput(*foreground, makeMessage(target, message, vk, lParam), snapshot);
                record.delivery = InputDelivery::Window;
                record.target = target;
                record.message = message;
            }
        }
    }
    return finish(record);
}

WPARAM mouseKeys(const KeyStateArray& keys, bool buttonDown) {
    WPARAM flags = buttonDown ? MK_LBUTTON : 0;
    if (keys[VK_SHIFT] & 0x80) flags |= MK_SHIFT;
    if (keys[VK_CONTROL] & 0x80) flags |= MK_CONTROL;
    return flags;
}

bool activationBlocked(const Window& window) {
    for (const Window* w = &window; w; w = w->parent)
        if (w->exStyle & WS_EX_NOACTIVATE) return true;
    return false;
}

HWND captureWindow() {
    for (auto& queue : allQueues())
        if (queue->capture && findWindow(queue->capture)) return queue->capture;
    return nullptr;
}

InputRecord handleTap(int x, int y, bool down) {
    InputRecord record;
    record.kind = down ? InputKind::TapDown : InputKind::TapUp;
    record.x = x;
    record.y = y;
    ScreenSize size = screenSize();
    if (x < 0 || y < 0 || x >= size.width || y >= size.height) {
        record.delivery = InputDelivery::Outside;
        return finish(record);
    }
    std::unique_lock stream(state().stream);
    NotificationBatch batch;
    {
        WindowLock lock(windowLock());
        setPointer(x, y);
        applyKey(state().keys, VK_LBUTTON, down);
        auto snapshot = std::make_shared<const KeyStateArray>(state().keys);
        const POINT at{x, y};
        Window* target = nullptr;
        LRESULT hit = HTCLIENT;
        if (HWND capture = captureWindow()) {
            target = findWindow(capture).get();
        } else {
            HitResult result = hitTestScreen(at);
            if (result.disabled) record.target = result.window->handle;
            record.delivery = result.disabled ? InputDelivery::Disabled : InputDelivery::Nowhere;
            if (!result.disabled && result.window && result.window->queue) {
                target = result.window;
                hit = result.hit;
            }
            if (target && down) {
                Window& top = topLevelOf(*target);
                if (!activationBlocked(*target) && canActivate(top) && foregroundWindow() != &top)
                    makeForeground(top, false, WA_CLICKACTIVE, batch);
            }
        }
        if (target && target->queue) {
            MSG msg;
            if (hit == HTCLIENT) {
                POINT origin = clientOriginOnScreen(*target);
                msg = makeMessage(target->handle, down ? WM_LBUTTONDOWN : WM_LBUTTONUP, mouseKeys(state().keys, down),
                                   MAKELPARAM(x - origin.x, y - origin.y));
            } else {
                msg = makeMessage(target->handle, down ? WM_NCLBUTTONDOWN : WM_NCLBUTTONUP,
                                   static_cast<WPARAM>(hit), MAKELPARAM(x, y));
            }
            postInput(*target->queue, msg, snapshot);
            record.delivery = InputDelivery::Window;
            record.target = target->handle;
            record.message = msg.message;
        }
    }
    record = finish(record);
    // Activation messages to the caller's own windows run here, after the
    // stream is free again (a procedure may feed the stream itself).
    stream.unlock();
    batch.deliver();
    return record;
}

const char* kindText(InputKind kind) {
    switch (kind) {
        case InputKind::TapDown: return "tap down";
        case InputKind::TapUp: return "tap up";
        case InputKind::KeyDown: return "key down";
        case InputKind::KeyUp: return "key up";
    }
    return "";
}

}  // namespace

InputRecord tapDown(int x, int y) { return handleTap(x, y, true); }
InputRecord tapUp(int x, int y) { return handleTap(x, y, false); }
InputRecord deviceKey(BYTE vk, bool down) {
    return handleKey(vk, 0, down ? 0 : KEYEVENTF_KEYUP, InputSource::Device);
}
InputRecord injectKey(BYTE vk, BYTE scan, DWORD flags) { return handleKey(vk, scan, flags, InputSource::Injected); }

std::vector<InputRecord> inputLog() {
    WindowLock lock(windowLock());
    return state().log;
}

void clearInputLog() {
    WindowLock lock(windowLock());
    state().log.clear();
}

std::string injectedKeysText() {
    std::string text;
    for (const InputRecord& record : inputLog()) {
        if (record.source != InputSource::Injected) continue;
        char entry[32];
        std::snprintf(entry, sizeof entry, "%02X %s%s", record.vk, record.kind == InputKind::KeyUp ? "up" : "down",
                      record.silent ? " silent" : "");
        if (!text.empty()) text += ", ";
        text += entry;
    }
    return text.empty() ? "none" : text;
}

std::string describeInput(const InputRecord& record) {
    char head[96];
    if (record.kind == InputKind::TapDown || record.kind == InputKind::TapUp)
        std::snprintf(head, sizeof head, "%s %d %d", kindText(record.kind), record.x, record.y);
    else
        std::snprintf(head, sizeof head, "%s %02X%s%s", kindText(record.kind), record.vk, record.silent ? " silent" : "",
                      record.source == InputSource::Injected ? " injected" : "");
    char where[160];
    const std::string cls = text::toUtf8(record.targetClass);
    const unsigned long target = static_cast<unsigned long>(reinterpret_cast<uintptr_t>(record.target));
    switch (record.delivery) {
        case InputDelivery::Window:
            std::snprintf(where, sizeof where, "window %08lX %s, message %04X", target, cls.c_str(), record.message);
            break;
        case InputDelivery::Hotkey:
            std::snprintf(where, sizeof where, "hotkey %d of window %08lX %s", record.hotkeyId, target, cls.c_str());
            break;
        case InputDelivery::Disabled:
            std::snprintf(where, sizeof where, "disabled window %08lX %s", target, cls.c_str());
            break;
        case InputDelivery::Nowhere: std::snprintf(where, sizeof where, "no window"); break;
        case InputDelivery::Outside: std::snprintf(where, sizeof where, "outside the screen"); break;
        case InputDelivery::Invalid: std::snprintf(where, sizeof where, "not a key"); break;
    }
    return std::string(head) + ": " + where;
}

POINT lastPointerPosition() {
    uint64_t packed = pointer().load();
    return POINT{static_cast<LONG>(static_cast<int32_t>(packed >> 32)), static_cast<LONG>(static_cast<int32_t>(packed))};
}

KeyStateArray asyncKeyState() {
    WindowLock lock(windowLock());
    return state().keys;
}

void resetInput() {
    std::lock_guard stream(state().stream);
    WindowLock lock(windowLock());
    state().keys = {};
    state().pressedSinceQuery = {};
    state().log.clear();
    setPointer(0, 0);
}

}  // namespace platform::window

using namespace platform::window;

extern "C" {

void WINAPI keybd_event(BYTE bVk, BYTE bScan, DWORD dwFlags, DWORD) { injectKey(bVk, bScan, dwFlags); }

SHORT WINAPI GetAsyncKeyState(int vKey) {
    if (vKey < 0 || vKey > 0xFF) return 0;
    WindowLock lock(windowLock());
    auto& s = state();
    SHORT result = (s.keys[static_cast<size_t>(vKey)] & 0x80) ? static_cast<SHORT>(0x8000) : 0;
    if (s.pressedSinceQuery[static_cast<size_t>(vKey)]) result = static_cast<SHORT>(result | 1);
    s.pressedSinceQuery[static_cast<size_t>(vKey)] = 0;
    return result;
}

SHORT WINAPI GetKeyState(int nVirtKey) {
    if (nVirtKey < 0 || nVirtKey > 0xFF) return 0;
    auto queue = currentQueue();
    const KeyStateArray keys = queue->keyStateSet ? queue->keyState : asyncKeyState();
    const BYTE key = keys[static_cast<size_t>(nVirtKey)];
    SHORT result = (key & 0x80) ? static_cast<SHORT>(0xFF80) : 0;
    return static_cast<SHORT>(result | (key & 0x01));
}

}  // extern "C"
