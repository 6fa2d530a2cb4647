#include "tests/support/process.h"

#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <fstream>
#include <sstream>

namespace testsupport {

namespace {
struct Posix {
    pid_t pid = -1;
    int input = -1;
    bool reaped = false;
    int status = -1;
};
}  // namespace

ChildProcess::~ChildProcess() {
    kill();
    delete static_cast<Posix *>(process_);
}

bool ChildProcess::start(const std::vector<std::string> &argv, const std::string &stdout_path,
                         const std::string &stderr_path) {
    kill();  // a fixture may start the same program again
    delete static_cast<Posix *>(process_);
    process_ = nullptr;
    signal(SIGPIPE, SIG_IGN);
    int pipe_fds[2];
    if (pipe2(pipe_fds, O_CLOEXEC) != 0)
        return false;
    pid_t pid = fork();
    if (pid < 0)
        return false;
    if (pid == 0) {
        int out = open(stdout_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        int err = open(stderr_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(pipe_fds[0], 0);
        dup2(out, 1);
        dup2(err, 2);
        std::vector<char *> args;
        for (const std::string &a : argv)
            args.push_back(const_cast<char *>(a.c_str()));
        args.push_back(nullptr);
        execvp(args[0], args.data());
        _exit(127);
    }
    close(pipe_fds[0]);
    Posix *p = new Posix;
    p->pid = pid;
    p->input = pipe_fds[1];
    process_ = p;
    return true;
}

bool ChildProcess::write_input(const std::string &bytes) {
    Posix *p = static_cast<Posix *>(process_);
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = write(p->input, bytes.data() + done, bytes.size() - done);
        if (n <= 0)
            return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

void ChildProcess::close_input() {
    Posix *p = static_cast<Posix *>(process_);
    if (p != nullptr && p->input >= 0) {
        close(p->input);
        p->input = -1;
    }
}

int ChildProcess::wait(double seconds) {
    Posix *p = static_cast<Posix *>(process_);
    double deadline = seconds_now() + seconds;
    while (!p->reaped) {
        int status = 0;
        pid_t got = waitpid(p->pid, &status, WNOHANG);
        if (got == p->pid) {
            p->reaped = true;
            p->status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            break;
        }
        if (seconds_now() > deadline)
            return -1;
        sleep_seconds(0.01);
    }
    return p->status;
}

void ChildProcess::kill() {
    Posix *p = static_cast<Posix *>(process_);
    if (p == nullptr)
        return;
    close_input();
    if (!p->reaped) {
        ::kill(p->pid, SIGKILL);
        int status = 0;
        waitpid(p->pid, &status, 0);
        p->reaped = true;
        p->status = 128 + SIGKILL;
    }
}

std::string make_temp_dir() {
    const char *base = getenv("TMPDIR");
    std::string pattern = std::string(base != nullptr ? base : "/tmp") + "/brisko-test-XXXXXX";
    if (mkdtemp(&pattern[0]) == nullptr)
        return "";
    return pattern;
}

void set_env(const std::string &name, const std::string &value) {
    setenv(name.c_str(), value.c_str(), 1);
}

double seconds_now() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

void sleep_seconds(double seconds) {
    timespec t{static_cast<time_t>(seconds), static_cast<long>((seconds - static_cast<double>(static_cast<time_t>(seconds))) * 1e9)};
    nanosleep(&t, nullptr);
}

}  // namespace testsupport
