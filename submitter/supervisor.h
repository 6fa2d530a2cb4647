// The main thread's job: start the worker, end the program when it has
// ended, and replace it after too long without a send attempt.
#ifndef SUBMITTER_SUPERVISOR_H
#define SUBMITTER_SUPERVISOR_H

#include <stdint.h>

#include <string>

#include "platform/thread.h"
#include "shared/event_reporter.h"

const unsigned kPollPeriodMs = 1000;
const int32_t kInactivityLimitSeconds = 300;

// Everything the supervisor does to the world, so that its decisions can be
// tested with a fake clock and fake threads.
class SupervisorSystem {
public:
    virtual ~SupervisorSystem() = default;
    // Starts worker `generation` (1 for the first); false when refused.
    virtual bool start_worker(unsigned generation, platform::ThreadHandle *thread) = 0;
    virtual uint32_t exit_code(platform::ThreadHandle thread) = 0;
    // Ends a replaced worker; false when refused, with the system's error
    // text for the last error code in *error_text.
    virtual bool stop_worker(platform::ThreadHandle thread, std::string *error_text) = 0;
    // Gives up the supervisor's handle of a worker.
    virtual void release_worker(platform::ThreadHandle thread) = 0;
    // Hands standard input to worker `generation`.
    virtual void pass_input(unsigned generation) = 0;
    virtual int32_t now() = 0;
    virtual void pause(unsigned milliseconds) = 0;
    virtual int32_t last_activity() = 0;
    virtual void set_last_activity(int32_t seconds) = 0;
    virtual void write_stdout(const std::string &text) = 0;
    virtual void write_stderr(const std::string &text) = 0;
    virtual void report(EventType type, const std::string &text) = 0;
};

// Runs until the worker has ended (status 0) or a worker cannot be started
// or stopped (status 1). Returns the exit status.
int run_supervisor(SupervisorSystem &system);

#endif
