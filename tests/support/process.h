// Child processes for black-box tests: standard input through a pipe that
// the test writes and closes, standard output and error into files.
#ifndef TESTS_SUPPORT_PROCESS_H
#define TESTS_SUPPORT_PROCESS_H

#include <string>
#include <vector>

namespace testsupport {

class ChildProcess {
public:
    ChildProcess() = default;
    ~ChildProcess();  // kills the child if it still runs
    ChildProcess(const ChildProcess &) = delete;
    ChildProcess &operator=(const ChildProcess &) = delete;

    // argv[0] is the program's path. Output goes to the two files.
    bool start(const std::vector<std::string> &argv, const std::string &stdout_path, const std::string &stderr_path);
    bool write_input(const std::string &bytes);
    void close_input();
    // The exit status, or -1 when the child has not ended within the time.
    int wait(double seconds);
    void kill();

private:
    void *process_ = nullptr;  // platform's own record
};

// A fresh empty directory for one test's files.
std::string make_temp_dir();
std::string read_file(const std::string &path);
bool write_file(const std::string &path, const std::string &bytes);
void set_env(const std::string &name, const std::string &value);
double seconds_now();  // a monotonic clock
void sleep_seconds(double seconds);

}  // namespace testsupport

#endif
