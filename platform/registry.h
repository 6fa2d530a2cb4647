// The local machine's configuration store: keys holding named values.
//
// Windows: the registry under HKEY_LOCAL_MACHINE. POSIX has no registry;
// the same keys and values live in a directory tree: the root is the
// directory named by $KESTROW_REGISTRY_ROOT, else /etc/registry; a key
// "A\B\C" is the directory <root>/HKEY_LOCAL_MACHINE/A/B/C and a value is a
// file in it whose bytes are the value's bytes.
#ifndef PLATFORM_REGISTRY_H
#define PLATFORM_REGISTRY_H

#include <stdint.h>

namespace platform {

struct RegistryKey {
    intptr_t system = -1;
};

// Opens a key of the local machine for reading (access mask 0x20019 on
// Windows). 0, or the system's error code for the failure.
uint32_t registry_open_key(const char *subkey, RegistryKey *key);

// Reads a value's bytes, whatever its type. `*size` holds the room on entry
// and the value's byte count on success. 0, or the system's error code
// (a value larger than the room fails: ERROR_MORE_DATA, EOVERFLOW).
uint32_t registry_query_value(RegistryKey key, const char *name, char *buffer, uint32_t *size);

void registry_close_key(RegistryKey key);

}  // namespace platform

#endif
