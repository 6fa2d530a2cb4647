// What the exit module's tests need from the machine: scratch directories,
// raw file bytes, the LogDir configuration value and loading the module.
#ifndef EXIT_MODULE_TESTS_TEST_SUPPORT_H
#define EXIT_MODULE_TESTS_TEST_SUPPORT_H

#include <stdint.h>

#include <string>
#include <utility>
#include <vector>

#include "shared/event_reporter.h"
#include "tests/support/process.h"

namespace kestrow_test {

// The bytes that one line feed written in text mode becomes on disk.
extern const char kLineEnd[];
// Joins the log directory and the file name.
extern const char kSeparator[];

// The system's error codes for a registry key or value that does not
// exist, and for a value too large for the room offered.
extern const uint32_t kMissingEntryCode;
extern const uint32_t kValueTooLargeCode;

// A fresh directory, removed with its contents at the end (as far as files
// still held open allow).
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir &) = delete;
    TempDir &operator=(const TempDir &) = delete;
    const std::string &path() const { return path_; }
    std::string file(const std::string &name) const;

private:
    std::string path_;
};

using testsupport::read_file;
using testsupport::write_file;
bool file_exists(const std::string &path);
bool make_directory(const std::string &path);

// A descriptor of `path` opened for reading only: the file can be examined
// through it but not shortened.
int open_read_only(const std::string &path);
void close_descriptor(int descriptor);

// The configuration store of this process. On POSIX it is moved into a
// scratch directory for as long as the object lives; on Windows it is the
// machine's registry, and the key is removed again at the end.
class ScratchRegistry {
public:
    ScratchRegistry();
    ~ScratchRegistry();
    ScratchRegistry(const ScratchRegistry &) = delete;
    ScratchRegistry &operator=(const ScratchRegistry &) = delete;

    // Stores exactly these bytes as the value LogDir (a string value on
    // Windows), creating the key when needed.
    void set_log_dir(const std::string &bytes);
    void remove_log_dir();
    void create_key();
    void remove_key();

private:
    TempDir root_;
};

// Loads a module that lies beside the test executable.
void *load_module_beside_executable(const char *file_name);
void *find_export(void *module, const char *name);

// Records what the logic reports instead of sending it to the event log.
struct RecordingReporter : Reporter {
    std::vector<std::pair<EventType, std::string>> events;
    void report(EventType type, const std::string &text) override { events.emplace_back(type, text); }
};

std::vector<std::string> split(const std::string &text, char separator);

}  // namespace kestrow_test

#endif
