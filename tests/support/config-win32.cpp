#include "tests/support/config.h"

#include <windows.h>

namespace testsupport {

bool set_kestrow_log_dir(const std::string &, const std::string &log_dir) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Brannick\\Kestrow.DLL", 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                        &key, nullptr) != ERROR_SUCCESS)
        return false;
    LONG result = RegSetValueExA(key, "LogDir", 0, REG_SZ, reinterpret_cast<const BYTE *>(log_dir.c_str()),
                                 static_cast<DWORD>(log_dir.size() + 1));
    RegCloseKey(key);
    return result == ERROR_SUCCESS;
}

}  // namespace testsupport
