#include "submitter/supervisor.h"

namespace {

enum class RestartOutcome { done, failed };

// Standard error with one further line feed, and the event log.
void notify(SupervisorSystem &system, EventType type, const std::string &text) {
    system.write_stderr(text + "\n");
    system.report(type, text);
}

// The replacement starts before the old worker is stopped; the input is
// handed over and the activity time reset only once both have succeeded.
RestartOutcome restart_worker(SupervisorSystem &system, platform::ThreadHandle *current, unsigned *generation) {
    notify(system, EventType::information, "Restarting processing thread.\n");

    platform::ThreadHandle replacement;
    if (!system.start_worker(*generation + 1, &replacement)) {
        notify(system, EventType::warning, "Replacement thread could not be started\n");
        return RestartOutcome::failed;
    }
    std::string error_text;
    if (!system.stop_worker(*current, &error_text)) {
        notify(system, EventType::warning,
               format_text("Error stopping thread, the error is \"%s\"\n", error_text.c_str()));
        return RestartOutcome::failed;
    }
    *generation += 1;
    system.pass_input(*generation);
    system.release_worker(*current);
    *current = replacement;
    system.set_last_activity(system.now());
    return RestartOutcome::done;
}

}  // namespace

int run_supervisor(SupervisorSystem &system) {
    unsigned generation = 1;
    platform::ThreadHandle worker;
    if (!system.start_worker(generation, &worker)) {
        system.write_stdout("Could not create thread\n");
        return 1;
    }
    system.set_last_activity(system.now());

    bool ended = false;
    for (;;) {
        if (system.exit_code(worker) != platform::kStillActive) {
            ended = true;
        } else if (!ended && system.now() > system.last_activity() + kInactivityLimitSeconds) {
            if (restart_worker(system, &worker, &generation) == RestartOutcome::failed)
                return 1;
        }
        system.pause(kPollPeriodMs);
        if (ended) {
            system.release_worker(worker);
            return 0;
        }
    }
}
