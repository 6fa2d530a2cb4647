#include "tests/support/process.h"

#include <windows.h>

#include <stdlib.h>

namespace testsupport {

namespace {

struct Win32 {
    PROCESS_INFORMATION info{};
    HANDLE input = nullptr;
    bool ended = false;
    int status = -1;
};

// Build paths are POSIX paths when the tests run under Wine: its drive Z:
// is the host's root.
std::string native_path(const std::string &path) {
    if (path.empty() || path[0] != '/')
        return path;
    std::string out = "Z:" + path;
    for (char &c : out) {
        if (c == '/')
            c = '\\';
    }
    return out;
}

std::string quoted(const std::string &arg) {
    std::string out = "\"";
    for (char c : arg) {
        if (c == '"')
            out += '\\';
        out += c;
    }
    return out + "\"";
}

HANDLE open_output(const std::string &path) {
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    return CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, CREATE_ALWAYS,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

}  // namespace

ChildProcess::~ChildProcess() {
    kill();
    delete static_cast<Win32 *>(process_);
}

bool ChildProcess::start(const std::vector<std::string> &argv, const std::string &stdout_path,
                         const std::string &stderr_path) {
    kill();  // a fixture may start the same program again
    delete static_cast<Win32 *>(process_);
    process_ = nullptr;
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE read_end = nullptr, write_end = nullptr;
    if (!CreatePipe(&read_end, &write_end, &inherit, 0))
        return false;
    SetHandleInformation(write_end, HANDLE_FLAG_INHERIT, 0);
    HANDLE out = open_output(stdout_path);
    HANDLE err = open_output(stderr_path);

    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = read_end;
    startup.hStdOutput = out;
    startup.hStdError = err;
    std::string command;
    for (size_t i = 0; i < argv.size(); ++i)
        command += (i ? " " : "") + quoted(i == 0 ? native_path(argv[i]) : argv[i]);
    Win32 *p = new Win32;
    BOOL ok = CreateProcessA(native_path(argv[0]).c_str(), &command[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                             &startup, &p->info);
    CloseHandle(read_end);
    CloseHandle(out);
    CloseHandle(err);
    if (!ok) {
        CloseHandle(write_end);
        delete p;
        return false;
    }
    p->input = write_end;
    process_ = p;
    return true;
}

bool ChildProcess::write_input(const std::string &bytes) {
    Win32 *p = static_cast<Win32 *>(process_);
    DWORD written = 0;
    return WriteFile(p->input, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

void ChildProcess::close_input() {
    Win32 *p = static_cast<Win32 *>(process_);
    if (p != nullptr && p->input != nullptr) {
        CloseHandle(p->input);
        p->input = nullptr;
    }
}

int ChildProcess::wait(double seconds) {
    Win32 *p = static_cast<Win32 *>(process_);
    if (!p->ended) {
        if (WaitForSingleObject(p->info.hProcess, static_cast<DWORD>(seconds * 1000)) != WAIT_OBJECT_0)
            return -1;
        DWORD code = 0;
        GetExitCodeProcess(p->info.hProcess, &code);
        p->ended = true;
        p->status = static_cast<int>(code);
    }
    return p->status;
}

void ChildProcess::kill() {
    Win32 *p = static_cast<Win32 *>(process_);
    if (p == nullptr)
        return;
    close_input();
    if (!p->ended) {
        TerminateProcess(p->info.hProcess, 137);
        WaitForSingleObject(p->info.hProcess, 10000);
        p->ended = true;
        p->status = 137;
    }
    CloseHandle(p->info.hProcess);
    CloseHandle(p->info.hThread);
    p->info = PROCESS_INFORMATION{};
}

std::string make_temp_dir() {
    char base[MAX_PATH + 1] = {};
    GetTempPathA(sizeof base, base);
    for (unsigned i = 0;; ++i) {
        std::string dir = std::string(base) + "brisko-test-" + std::to_string(GetCurrentProcessId()) + "-" +
                          std::to_string(GetTickCount()) + "-" + std::to_string(i);
        if (CreateDirectoryA(dir.c_str(), nullptr))
            return dir;
        if (GetLastError() != ERROR_ALREADY_EXISTS)
            return "";
    }
}

void set_env(const std::string &name, const std::string &value) {
    SetEnvironmentVariableA(name.c_str(), value.c_str());
}

double seconds_now() {
    LARGE_INTEGER frequency, counter;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

void sleep_seconds(double seconds) {
    Sleep(static_cast<DWORD>(seconds * 1000));
}

}  // namespace testsupport
