#include "exit_module/tests/test_support.h"

#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <ftw.h>
#include <limits.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kestrow_test {

const char kLineEnd[] = "\n";
const char kSeparator[] = "/";
const uint32_t kMissingEntryCode = ENOENT;
const uint32_t kValueTooLargeCode = EOVERFLOW;

namespace {

const char kRootVariable[] = "KESTROW_REGISTRY_ROOT";
const char kKeyDirectory[] = "/HKEY_LOCAL_MACHINE/SOFTWARE/Brannick/Kestrow.DLL";

int remove_entry(const char *path, const struct stat *, int, struct FTW *) {
    remove(path);
    return 0;
}

void make_directories(const std::string &path) {
    for (size_t at = 1; at <= path.size(); ++at) {
        if (at == path.size() || path[at] == '/')
            mkdir(path.substr(0, at).c_str(), 0777);
    }
}

}  // namespace

TempDir::TempDir() {
    const char *base = getenv("TMPDIR");
    std::string pattern = std::string(base != nullptr && *base != '\0' ? base : "/tmp") + "/kestrow_test_XXXXXX";
    if (mkdtemp(&pattern[0]) != nullptr)
        path_ = pattern;
}

TempDir::~TempDir() {
    if (!path_.empty())
        nftw(path_.c_str(), remove_entry, 16, FTW_DEPTH | FTW_PHYS);
}

std::string TempDir::file(const std::string &name) const {
    return path_ + "/" + name;
}

bool make_directory(const std::string &path) {
    return mkdir(path.c_str(), 0777) == 0;
}

int open_read_only(const std::string &path) {
    return open(path.c_str(), O_RDONLY | O_CLOEXEC);
}

void close_descriptor(int descriptor) {
    close(descriptor);
}

ScratchRegistry::ScratchRegistry() {
    setenv(kRootVariable, root_.path().c_str(), 1);
}

ScratchRegistry::~ScratchRegistry() {
    unsetenv(kRootVariable);
}

void ScratchRegistry::create_key() {
    make_directories(root_.path() + kKeyDirectory);
}

void ScratchRegistry::set_log_dir(const std::string &bytes) {
    create_key();
    write_file(root_.path() + kKeyDirectory + "/LogDir", bytes);
}

void ScratchRegistry::remove_log_dir() {
    unlink((root_.path() + kKeyDirectory + "/LogDir").c_str());
}

void ScratchRegistry::remove_key() {
    remove_log_dir();
    rmdir((root_.path() + kKeyDirectory).c_str());
}

void *load_module_beside_executable(const char *file_name) {
    char executable[PATH_MAX] = {};
    ssize_t length = readlink("/proc/self/exe", executable, sizeof executable - 1);
    if (length <= 0)
        return nullptr;
    std::string path(executable, static_cast<size_t>(length));
    path = path.substr(0, path.rfind('/') + 1) + file_name;
    return dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
}

void *find_export(void *module, const char *name) {
    return dlsym(module, name);
}

}  // namespace kestrow_test
