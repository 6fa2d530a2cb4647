#include "shared/event_reporter.h"

#include <stdarg.h>
#include <stdio.h>

#include "platform/eventlog.h"

const char kSubmitterEventSource[] = "Brisko.exe";
const char kExitModuleEventSource[] = "kestrow.dll";

void report_event(const char *source, EventType type, const char *text) {
    platform::eventlog_write(source, static_cast<unsigned short>(type), text);
}

void EventLogReporter::report(EventType type, const std::string &text) {
    report_event(source_, type, text.c_str());
}

std::string format_text(const char *format, ...) {
    va_list args;
    va_start(args, format);
    va_list measure;
    va_copy(measure, args);
    int length = vsnprintf(nullptr, 0, format, measure);
    va_end(measure);
    std::string text;
    if (length > 0) {
        text.resize(static_cast<size_t>(length));
        vsnprintf(&text[0], text.size() + 1, format, args);
    }
    va_end(args);
    return text;
}
