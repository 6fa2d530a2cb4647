#include "platform/registry.h"

#include <windows.h>

namespace platform {

namespace {
// The standard read right with value query, subkey enumeration and notify.
const REGSAM kKeyRead = 0x20019;
}  // namespace

uint32_t registry_open_key(const char *subkey, RegistryKey *key) {
    HKEY handle = nullptr;
    LONG result = RegOpenKeyExA(HKEY_LOCAL_MACHINE, subkey, 0, kKeyRead, &handle);
    if (result != ERROR_SUCCESS)
        return static_cast<uint32_t>(result);
    key->system = reinterpret_cast<intptr_t>(handle);
    return 0;
}

uint32_t registry_query_value(RegistryKey key, const char *name, char *buffer, uint32_t *size) {
    DWORD type = 0;
    DWORD bytes = *size;
    LONG result = RegQueryValueExA(reinterpret_cast<HKEY>(key.system), name, nullptr, &type,
                                   reinterpret_cast<BYTE *>(buffer), &bytes);
    if (result != ERROR_SUCCESS)
        return static_cast<uint32_t>(result);
    *size = bytes;
    return 0;
}

void registry_close_key(RegistryKey key) {
    RegCloseKey(reinterpret_cast<HKEY>(key.system));
}

}  // namespace platform
