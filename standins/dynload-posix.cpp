#include "standins/dynload.h"

#include <dlfcn.h>

namespace standins {

bool dynload_open(const char *path, Library *library, std::string *error) {
    library->system = dlopen(path, RTLD_NOW | RTLD_LOCAL);
    if (library->system == nullptr) {
        const char *reason = dlerror();
        *error = reason != nullptr ? reason : "unknown failure";
        return false;
    }
    return true;
}

void *dynload_symbol(Library library, const char *name) {
    return dlsym(library.system, name);
}

}  // namespace standins
