#include "exit_module/log_opening.h"

#include <limits.h>

#include "exit_module/id_scan.h"
#include "platform/logfile.h"
#include "platform/registry.h"
#include "platform/syserror.h"

namespace kestrow {

const char kKestrowKey[] = "SOFTWARE\\Brannick\\Kestrow.DLL";
const char kLogDirValueName[] = "LogDir";
const char kLogFileName[] = "kestrow.txt";

namespace {

const char kKeyOpenFailed[] = "Error opening key %s.The error is %s";
const char kValueReadFailed[] = "Error getting registry value %s\\%s.The error is %s";
const char kFileOpenFailed[] = "Could not open file ' %s '. The error was: %s.";
const char kStreamNotMade[] = "The file ' %s ' was not opened.";
const char kLogOpened[] = "The file ' %s ' was opened, last id was %lu.";

int32_t clamp_to_time(int64_t value) {
    if (value > INT32_MAX)
        return INT32_MAX;
    if (value < INT32_MIN)
        return INT32_MIN;
    return static_cast<int32_t>(value);
}

// Reads LogDir afresh; a non-empty text replaces the log path. Failures are
// reported and scheduled; the open that follows uses whatever path there is.
void read_log_directory(KestrowState &state, int32_t call_time, Reporter &reporter) {
    platform::RegistryKey key;
    uint32_t code = platform::registry_open_key(kKestrowKey, &key);
    if (code != 0) {
        reporter.report(EventType::warning,
                        format_text(kKeyOpenFailed, kKestrowKey, platform::system_error_text(code).c_str()));
        schedule_retry(state, call_time);
        return;
    }
    char value[kRegistryValueRoom];
    uint32_t size = kRegistryValueRoom;
    code = platform::registry_query_value(key, kLogDirValueName, value, &size);
    if (code != 0) {
        reporter.report(EventType::warning, format_text(kValueReadFailed, kKestrowKey, kLogDirValueName,
                                                        platform::system_error_text(code).c_str()));
        schedule_retry(state, call_time);
    } else {
        state.directory_text = text_from_value(value, size);
        if (!state.directory_text.empty())
            state.log_path = state.directory_text + platform::kPathSeparator + kLogFileName;
    }
    platform::registry_close_key(key);
}

}  // namespace

bool retry_gate_closed(const KestrowState &state, int32_t call_time) {
    return state.failure_count != 0 && state.retry_at_time >= call_time;
}

void schedule_retry(KestrowState &state, int32_t call_time) {
    if (state.failure_count < INT32_MAX)
        ++state.failure_count;
    int64_t elapsed = static_cast<int64_t>(call_time) - state.first_call_time;
    state.retry_at_time = clamp_to_time(state.first_call_time + state.failure_count * elapsed);
}

std::string text_from_value(const char *value, size_t size) {
    if (size == 0)
        return std::string();
    size_t length = 0;
    while (length < size - 1 && value[length] != '\0')
        ++length;
    return std::string(value, length);
}

void attempt_log_open(KestrowState &state, int32_t call_time, Reporter &reporter) {
    read_log_directory(state, call_time, reporter);

    int error_number = 0;
    state.log_descriptor = platform::logfile_open(state.log_path.c_str(), &error_number);
    if (state.log_descriptor < 0) {
        reporter.report(EventType::warning, format_text(kFileOpenFailed, state.log_path.c_str(),
                                                        platform::logfile_error_text(error_number).c_str()));
        schedule_retry(state, call_time);
        return;
    }
    FILE *stream = platform::logfile_stream(state.log_descriptor);
    if (stream == nullptr) {
        reporter.report(EventType::information, format_text(kStreamNotMade, state.log_path.c_str()));
        // Nothing would ever use this descriptor; the next attempt opens anew.
        platform::logfile_close(state.log_descriptor);
        state.log_descriptor = -1;
        return;
    }
    state.log_stream = stream;
    state.last_identifier = scan_identifiers(state.log_descriptor, state.last_identifier);
    reporter.report(EventType::information, format_text(kLogOpened, state.log_path.c_str(),
                                                        static_cast<unsigned long>(state.last_identifier)));
}

bool ensure_log_open(KestrowState &state, int32_t call_time, Reporter &reporter) {
    if (state.log_stream != nullptr)
        return true;
    if (retry_gate_closed(state, call_time))
        return false;
    attempt_log_open(state, call_time, reporter);
    return state.log_stream != nullptr;
}

}  // namespace kestrow
