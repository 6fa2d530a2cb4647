#include "standins/dynload.h"

#include <windows.h>

namespace standins {

bool dynload_open(const char *path, Library *library, std::string *error) {
    HMODULE module = LoadLibraryA(path);
    if (module == nullptr) {
        *error = "LoadLibraryA failed with error " + std::to_string(GetLastError());
        return false;
    }
    library->system = module;
    return true;
}

void *dynload_symbol(Library library, const char *name) {
    return reinterpret_cast<void *>(GetProcAddress(static_cast<HMODULE>(library.system), name));
}

}  // namespace standins
