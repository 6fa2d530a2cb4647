#include "platform/eventlog.h"

#include <fcntl.h>
#include <stdio.h>
#include <string.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <time.h>
#include <unistd.h>

#include <string>

namespace platform {

namespace {

const char kSyslogPath[] = "/dev/log";
const int kFacilityUser = 1 << 3;
const int kSeverityWarning = 4;  // LOG_WARNING
const int kSeverityInfo = 6;     // LOG_INFO
const unsigned short kEventTypeWarning = 2;

// One connection per report, made here rather than through openlog/syslog,
// so that a host process's own syslog state is never touched.
int connect_syslog(int type) {
    int fd = socket(AF_UNIX, type | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return -1;
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    memcpy(address.sun_path, kSyslogPath, sizeof kSyslogPath);
    if (connect(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

std::string syslog_line(const char *source, unsigned short type, const char *text) {
    int priority = kFacilityUser | (type == kEventTypeWarning ? kSeverityWarning : kSeverityInfo);
    char stamp[32] = "";
    time_t now = time(nullptr);
    tm local{};
    if (localtime_r(&now, &local) != nullptr)
        strftime(stamp, sizeof stamp, "%b %e %H:%M:%S", &local);
    std::string line = "<" + std::to_string(priority) + ">" + stamp + " " + source + "[" +
                       std::to_string(getpid()) + "]: ";
    line += text;
    return line;
}

}  // namespace

void eventlog_write(const char *source, unsigned short type, const char *text) {
    std::string line = syslog_line(source, type, text);
    int fd = connect_syslog(SOCK_DGRAM);
    bool stream = false;
    if (fd < 0) {
        fd = connect_syslog(SOCK_STREAM);
        stream = true;
    }
    if (fd < 0)
        return;
    // A stream socket needs a terminator between entries.
    send(fd, line.c_str(), line.size() + (stream ? 1 : 0), MSG_NOSIGNAL);
    close(fd);
}

}  // namespace platform
