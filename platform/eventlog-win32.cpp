#include "platform/eventlog.h"

#include <windows.h>

namespace platform {

void eventlog_write(const char *source, unsigned short type, const char *text) {
    const WORD kCategory = 0;
    const DWORD kEventId = 1;
    HANDLE log = RegisterEventSourceA(nullptr, source);
    const char *strings[1] = {text};
    ReportEventA(log, type, kCategory, kEventId, nullptr, 1, 0, strings, nullptr);
    // RegisterEventSourceA's handle is closed by DeregisterEventSource, not CloseEventLog.
    DeregisterEventSource(log);
}

}  // namespace platform
