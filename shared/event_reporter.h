// The event-log reporter shared by both deliverables, and the sink through
// which their logic reports, so that tests can watch what is reported.
#ifndef SHARED_EVENT_REPORTER_H
#define SHARED_EVENT_REPORTER_H

#include <string>

enum class EventType : unsigned short {
    warning = 2,
    information = 4,
};

// Source names of the two deliverables.
extern const char kSubmitterEventSource[];    // "Brisko.exe"
extern const char kExitModuleEventSource[];   // "kestrow.dll"

// One entry in the system event log: category 0, event identifier 1, the
// text as the only insertion string. Never fails for the caller.
void report_event(const char *source, EventType type, const char *text);

class Reporter {
public:
    virtual ~Reporter() = default;
    virtual void report(EventType type, const std::string &text) = 0;
};

// Reports to the system event log under one source name.
class EventLogReporter : public Reporter {
public:
    explicit EventLogReporter(const char *source) : source_(source) {}
    void report(EventType type, const std::string &text) override;

private:
    const char *source_;
};

// printf-style formatting without a fixed-size buffer: any length fits.
std::string format_text(const char *format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

#endif
