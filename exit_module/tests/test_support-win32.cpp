#include "exit_module/tests/test_support.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

namespace kestrow_test {

const char kLineEnd[] = "\r\n";
const char kSeparator[] = "\\";
const uint32_t kMissingEntryCode = ERROR_FILE_NOT_FOUND;
const uint32_t kValueTooLargeCode = ERROR_MORE_DATA;

namespace {

const char kKestrowKey[] = "SOFTWARE\\Brannick\\Kestrow.DLL";
const char kParentKey[] = "SOFTWARE\\Brannick";

void remove_tree(const std::string &directory) {
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA((directory + "\\*").c_str(), &entry);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::string name = entry.cFileName;
            if (name == "." || name == "..")
                continue;
            std::string path = directory + "\\" + name;
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                remove_tree(path);
            else
                DeleteFileA(path.c_str());
        } while (FindNextFileA(search, &entry));
        FindClose(search);
    }
    RemoveDirectoryA(directory.c_str());
}

}  // namespace

TempDir::TempDir() {
    static unsigned counter = 0;
    char base[MAX_PATH + 1] = {};
    GetTempPathA(sizeof base, base);
    for (int tries = 0; tries < 1000 && path_.empty(); ++tries) {
        std::string candidate = std::string(base) + "kestrow_test_" + std::to_string(GetCurrentProcessId()) + "_" +
                                std::to_string(++counter);
        if (CreateDirectoryA(candidate.c_str(), nullptr))
            path_ = candidate;
    }
}

TempDir::~TempDir() {
    if (!path_.empty())
        remove_tree(path_);
}

std::string TempDir::file(const std::string &name) const {
    return path_ + "\\" + name;
}

bool make_directory(const std::string &path) {
    return CreateDirectoryA(path.c_str(), nullptr) != 0;
}

int open_read_only(const std::string &path) {
    return _open(path.c_str(), _O_RDONLY | _O_BINARY);
}

void close_descriptor(int descriptor) {
    _close(descriptor);
}

ScratchRegistry::ScratchRegistry() {
    remove_key();
}

ScratchRegistry::~ScratchRegistry() {
    remove_key();
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, kParentKey);
}

void ScratchRegistry::create_key() {
    HKEY key;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kKestrowKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) ==
        ERROR_SUCCESS)
        RegCloseKey(key);
}

void ScratchRegistry::set_log_dir(const std::string &bytes) {
    HKEY key;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kKestrowKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return;
    // The system adds a terminator to a string whose next byte is zero; a
    // byte that is not zero after the data keeps the stored size exact.
    std::string data = bytes + 'x';
    RegSetValueExA(key, "LogDir", 0, REG_SZ, reinterpret_cast<const BYTE *>(data.data()),
                   static_cast<DWORD>(bytes.size()));
    RegCloseKey(key);
}

void ScratchRegistry::remove_log_dir() {
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kKestrowKey, 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
        RegDeleteValueA(key, "LogDir");
        RegCloseKey(key);
    }
}

void ScratchRegistry::remove_key() {
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, kKestrowKey);
}

void *load_module_beside_executable(const char *file_name) {
    char executable[MAX_PATH + 1] = {};
    DWORD length = GetModuleFileNameA(nullptr, executable, MAX_PATH);
    if (length == 0)
        return nullptr;
    std::string path(executable, length);
    path = path.substr(0, path.find_last_of("\\/") + 1) + file_name;
    return reinterpret_cast<void *>(LoadLibraryA(path.c_str()));
}

void *find_export(void *module, const char *name) {
    return reinterpret_cast<void *>(GetProcAddress(static_cast<HMODULE>(module), name));
}

}  // namespace kestrow_test
