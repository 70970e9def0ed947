#include "simulator/automation/error_text.h"

#include <winerror.h>

#include <string_view>
#include <utility>

namespace sim {
namespace {

#define NAMED(code) std::pair<DWORD, std::string_view>(code, #code)
constexpr std::pair<DWORD, std::string_view> kNames[] = {
    NAMED(ERROR_FILE_NOT_FOUND),      NAMED(ERROR_PATH_NOT_FOUND),
    NAMED(ERROR_ACCESS_DENIED),       NAMED(ERROR_INVALID_HANDLE),
    NAMED(ERROR_NOT_ENOUGH_MEMORY),   NAMED(ERROR_BAD_FORMAT),
    NAMED(ERROR_INVALID_DATA),        NAMED(ERROR_NO_MORE_FILES),
    NAMED(ERROR_SHARING_VIOLATION),   NAMED(ERROR_HANDLE_DISK_FULL),
    NAMED(ERROR_NOT_SUPPORTED),       NAMED(ERROR_FILE_EXISTS),
    NAMED(ERROR_INVALID_PARAMETER),   NAMED(ERROR_DISK_FULL),
    NAMED(ERROR_INSUFFICIENT_BUFFER), NAMED(ERROR_INVALID_NAME),
    NAMED(ERROR_MOD_NOT_FOUND),       NAMED(ERROR_PROC_NOT_FOUND),
    NAMED(ERROR_DIR_NOT_EMPTY),       NAMED(ERROR_BAD_PATHNAME),
    NAMED(ERROR_ALREADY_EXISTS),      NAMED(ERROR_BAD_EXE_FORMAT),
    NAMED(ERROR_FILENAME_EXCED_RANGE), NAMED(ERROR_MORE_DATA),
    NAMED(ERROR_NO_MORE_ITEMS),       NAMED(ERROR_DIRECTORY),
    NAMED(ERROR_BADKEY),              NAMED(ERROR_CANTOPEN),
    NAMED(ERROR_KEY_DELETED),         NAMED(ERROR_DEV_NOT_EXIST),
};
#undef NAMED

}  // namespace

std::string errorText(DWORD error) {
    std::string text = "error " + std::to_string(error);
    for (const auto& [code, name] : kNames) {
        if (code == error) return text + " (" + std::string(name) + ")";
    }
    return text;
}

}  // namespace sim
