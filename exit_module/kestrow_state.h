// The exit module's process-wide state, shared by all calls of
// OrlEvt_ExitActionPre and kept for as long as the module stays loaded.
#ifndef EXIT_MODULE_KESTROW_STATE_H
#define EXIT_MODULE_KESTROW_STATE_H

#include <stdint.h>
#include <stdio.h>

#include <string>

namespace kestrow {

struct KestrowState {
    FILE *log_stream = nullptr;     // set once, by the attempt that opens the log; never closed
    int log_descriptor = -1;        // result of the latest open; -1 after a failed one
    uint32_t last_identifier = 0;   // highest row identifier so far
    int32_t first_call_time = 0;    // 0: no call yet
    int32_t failure_count = 0;
    int32_t retry_at_time = 0;
    std::string log_path;           // full name of the log file, any length
    std::string directory_text;     // the text last taken from LogDir
};

}  // namespace kestrow

#endif
