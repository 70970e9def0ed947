// Key handles: every registry function given a NULL, closed, made-up or
// wrong-kind handle answers ERROR_INVALID_HANDLE; a handle to a key deleted
// meanwhile answers ERROR_KEY_DELETED; neither changes the registry.
#include <functional>

#include "platform/registry/registry_io.h"
#include "registry_test_support.h"

using namespace registry_test;

namespace {

class RegistryHandles : public RegistryTest {};

struct Call {
    const char* name;
    std::function<LONG(HKEY)> call;
};

// Each registry function that takes a key, called the way a program would.
std::vector<Call> callsTakingAKey() {
    return {
        {"RegOpenKeyExW",
         [](HKEY key) {
             HKEY result = sentinelKey();
             LONG error = RegOpenKeyExW(key, u"Child", 0, 0, &result);
             EXPECT_EQ(nullptr, result);
             return error;
         }},
        {"RegOpenKeyExW self",
         [](HKEY key) {
             HKEY result = sentinelKey();
             LONG error = RegOpenKeyExW(key, nullptr, 0, 0, &result);
             EXPECT_EQ(nullptr, result);
             return error;
         }},
        {"RegCreateKeyExW",
         [](HKEY key) {
             HKEY result = sentinelKey();
             DWORD disposition = kSentinel;
             LONG error =
                 RegCreateKeyExW(key, u"New", 0, nullptr, 0, 0, nullptr, &result, &disposition);
             EXPECT_EQ(nullptr, result);
             EXPECT_EQ(kSentinel, disposition);
             return error;
         }},
        {"RegQueryValueExW",
         [](HKEY key) {
             DWORD type = kSentinel, size = 4;
             BYTE data[4] = {kGuardByte, kGuardByte, kGuardByte, kGuardByte};
             LONG error = RegQueryValueExW(key, u"Value", nullptr, &type, data, &size);
             EXPECT_EQ(kSentinel, type);
             EXPECT_EQ(4u, size);
             EXPECT_EQ(kGuardByte, data[0]);
             return error;
         }},
        {"RegSetValueExW",
         [](HKEY key) {
             DWORD value = 7;
             return RegSetValueExW(key, u"Value", 0, REG_DWORD, reinterpret_cast<BYTE*>(&value), 4);
         }},
        {"RegDeleteValueW", [](HKEY key) { return RegDeleteValueW(key, u"Value"); }},
        {"RegDeleteKeyW", [](HKEY key) { return RegDeleteKeyW(key, u"Child"); }},
        {"RegEnumKeyExW",
         [](HKEY key) {
             WCHAR name[8] = {kGuardChar};
             DWORD length = 8;
             LONG error = RegEnumKeyExW(key, 0, name, &length, nullptr, nullptr, nullptr, nullptr);
             EXPECT_EQ(8u, length);
             EXPECT_EQ(kGuardChar, name[0]);
             return error;
         }},
        {"RegEnumValueW",
         [](HKEY key) {
             WCHAR name[8] = {kGuardChar};
             DWORD length = 8, type = kSentinel;
             LONG error = RegEnumValueW(key, 0, name, &length, nullptr, &type, nullptr, nullptr);
             EXPECT_EQ(8u, length);
             EXPECT_EQ(kSentinel, type);
             return error;
         }},
        {"RegQueryInfoKeyW",
         [](HKEY key) {
             DWORD subkeys = kSentinel, values = kSentinel;
             LONG error = RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &subkeys, nullptr,
                                           nullptr, &values, nullptr, nullptr, nullptr, nullptr);
             EXPECT_EQ(kSentinel, subkeys);
             EXPECT_EQ(kSentinel, values);
             return error;
         }},
    };
}

void expectEveryCallFails(HKEY key, LONG expected) {
    const std::u16string before = snapshotRegistry();
    for (const auto& call : callsTakingAKey()) {
        SCOPED_TRACE(call.name);
        EXPECT_EQ(expected, call.call(key));
    }
    EXPECT_EQ(before, snapshotRegistry()) << "a refused call changed the registry";
}

TEST_F(RegistryHandles, InvalidHandlesAreRefusedByEveryFunction) {
    {
        ScopedKey child = CREATE_KEY(HKEY_LOCAL_MACHINE, u"Child");
        SET_VALUE(child, u"Value", REG_DWORD, dwordBytes(1));
    }
    HKEY closed = CREATE_KEY(HKEY_LOCAL_MACHINE, u"Closed").release();
    ASSERT_EQ(ERROR_SUCCESS, RegCloseKey(closed));
    HANDLE mutex = CreateMutexW(nullptr, FALSE, nullptr);
    ASSERT_NE(nullptr, mutex);
    HANDLE event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    ASSERT_NE(nullptr, event);

    const std::pair<const char*, HKEY> badKeys[] = {
        {"NULL", nullptr},
        {"closed key", closed},
        {"made-up value", reinterpret_cast<HKEY>(uintptr_t(0x00abc000))},
        {"INVALID_HANDLE_VALUE", reinterpret_cast<HKEY>(INVALID_HANDLE_VALUE)},
        {"unsupported predefined key", reinterpret_cast<HKEY>(ULONG_PTR(LONG(0x80000005)))},
        {"mutex", static_cast<HKEY>(mutex)},
        {"event", static_cast<HKEY>(event)},
    };
    for (const auto& [label, key] : badKeys) {
        SCOPED_TRACE(label);
        expectEveryCallFails(key, ERROR_INVALID_HANDLE);
        EXPECT_EQ(ERROR_INVALID_HANDLE, RegCloseKey(key));
    }
    // RegCloseKey did not close the objects of other kinds.
    EXPECT_EQ(TRUE, SetEvent(event));
    EXPECT_EQ(TRUE, CloseHandle(event));
    EXPECT_EQ(TRUE, CloseHandle(mutex));
}

TEST_F(RegistryHandles, AClosedHandleDoesNotReachAKeyOpenedLater) {
    HKEY first = CREATE_KEY(HKEY_LOCAL_MACHINE, u"First").release();
    ASSERT_EQ(ERROR_SUCCESS, RegCloseKey(first));
    ScopedKey second = CREATE_KEY(HKEY_LOCAL_MACHINE, u"Second");
    DWORD value = 1;
    EXPECT_EQ(ERROR_INVALID_HANDLE,
              RegSetValueExW(first, u"Leak", 0, REG_DWORD, reinterpret_cast<BYTE*>(&value), 4));
    EXPECT_EQ(ERROR_INVALID_HANDLE, RegCloseKey(first)) << "closing twice";
    EXPECT_TRUE(valueNames(second).empty());
    EXPECT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"Second", 0, 0, &first));
    EXPECT_EQ(ERROR_SUCCESS, RegCloseKey(first));
}

TEST_F(RegistryHandles, RootsAreAlwaysOpen) {
    for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER, HKEY_CLASSES_ROOT, HKEY_USERS}) {
        EXPECT_EQ(ERROR_SUCCESS, RegCloseKey(root));
        SET_VALUE(root, u"AtRoot", REG_DWORD, dwordBytes(2));
        EXPECT_VALUE(root, u"AtRoot", REG_DWORD, dwordBytes(2));
    }
}

TEST_F(RegistryHandles, CloseHandleDoesNotCloseAKey) {
    ScopedKey key = CREATE_KEY(HKEY_LOCAL_MACHINE, u"Kept");
    SetLastError(kSentinel);
    EXPECT_EQ(FALSE, CloseHandle(key.get()));
    EXPECT_EQ(DWORD(ERROR_INVALID_HANDLE), GetLastError());
    SET_VALUE(key, u"StillOpen", REG_DWORD, dwordBytes(3));
}

TEST_F(RegistryHandles, HandlesToADeletedKeyAnswerKeyDeleted) {
    ScopedKey doomed = CREATE_KEY(HKEY_LOCAL_MACHINE, u"Doomed");
    ScopedKey below = CREATE_KEY(HKEY_LOCAL_MACHINE, u"Doomed\\Below");
    CREATE_KEY(HKEY_LOCAL_MACHINE, u"Doomed\\Below\\Child");
    SET_VALUE(below, u"Value", REG_DWORD, dwordBytes(4));
    ASSERT_EQ(ERROR_SUCCESS, RegDeleteKeyW(HKEY_LOCAL_MACHINE, u"Doomed"));

    for (const auto& [label, key] : {std::pair{"deleted key", doomed.get()},
                                     std::pair{"key below a deleted key", below.get()}}) {
        SCOPED_TRACE(label);
        expectEveryCallFails(key, ERROR_KEY_DELETED);
    }
    // A key of the same name made afterwards is another key.
    ScopedKey again = CREATE_KEY(HKEY_LOCAL_MACHINE, u"Doomed\\Below");
    EXPECT_NO_VALUE(again, u"Value");
    expectEveryCallFails(below, ERROR_KEY_DELETED);
    EXPECT_EQ(ERROR_SUCCESS, RegCloseKey(doomed.release()));
    EXPECT_EQ(ERROR_SUCCESS, RegCloseKey(below.release()));
}

TEST_F(RegistryHandles, ClearingTheRegistryDeletesEveryOpenKey) {
    ScopedKey key = CREATE_KEY(HKEY_CURRENT_USER, u"Session");
    platform::registry::clearRegistry();
    expectEveryCallFails(key, ERROR_KEY_DELETED);
    EXPECT_TRUE(subkeyNames(HKEY_CURRENT_USER).empty());
}

}  // namespace
