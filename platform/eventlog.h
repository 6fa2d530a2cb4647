// The system event log.
#ifndef PLATFORM_EVENTLOG_H
#define PLATFORM_EVENTLOG_H

namespace platform {

// Writes one entry under `source`: register the source, report the event,
// close the source again, every time. Failures are swallowed: a log that
// cannot be reached changes nothing for the caller.
// `type` is the Windows event type (2 warning, 4 information).
void eventlog_write(const char *source, unsigned short type, const char *text);

}  // namespace platform

#endif
