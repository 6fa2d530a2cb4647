// Loading a shared library and finding its exports by name.
#ifndef STANDINS_DYNLOAD_H
#define STANDINS_DYNLOAD_H

#include <string>

namespace standins {

struct Library {
    void *system = nullptr;
};

// Loads the library at `path` (dlopen / LoadLibraryA). On failure,
// `*error` receives the system's reason.
bool dynload_open(const char *path, Library *library, std::string *error);

// The address of the export `name`, or null when there is none.
void *dynload_symbol(Library library, const char *name);

}  // namespace standins

#endif
