// Brisko: operator messages from standard input to the event manager.
#include <stdint.h>

#include "platform/clock.h"
#include "platform/console.h"
#include "platform/input.h"
#include "platform/syserror.h"
#include "platform/thread.h"
#include "submitter/supervisor.h"
#include "submitter/worker.h"

namespace {

class RealSystem : public SupervisorSystem {
public:
    bool start_worker(unsigned generation, platform::ThreadHandle *thread) override {
        void *argument = reinterpret_cast<void *>(static_cast<uintptr_t>(generation));
        return platform::thread_start(worker_entry, argument, thread);
    }
    uint32_t exit_code(platform::ThreadHandle thread) override { return platform::thread_exit_code(thread); }
    bool stop_worker(platform::ThreadHandle thread, std::string *error_text) override {
        if (platform::thread_stop(thread))
            return true;
        *error_text = platform::system_error_text(platform::last_error_code());
        return false;
    }
    void release_worker(platform::ThreadHandle thread) override { platform::thread_release(thread); }
    void pass_input(unsigned generation) override { platform::input_turn_pass(generation); }
    int32_t now() override { return platform::now_seconds(); }
    void pause(unsigned milliseconds) override { platform::pause_ms(milliseconds); }
    int32_t last_activity() override { return g_last_activity.load(); }
    void set_last_activity(int32_t seconds) override { g_last_activity.store(seconds); }
    void write_stdout(const std::string &text) override { platform::write_stdout(text.data(), text.size()); }
    void write_stderr(const std::string &text) override { platform::write_stderr(text.data(), text.size()); }
    void report(EventType type, const std::string &text) override {
        report_event(kSubmitterEventSource, type, text.c_str());
    }
};

}  // namespace

int main() {
    platform::console_init();
    RealSystem system;
    return run_supervisor(system);
}
