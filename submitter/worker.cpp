#include "submitter/worker.h"

#include <stdint.h>

#include <memory>
#include <new>

#include "platform/clock.h"
#include "platform/console.h"
#include "platform/input.h"
#include "shared/event_reporter.h"
#include "standins/morwick.h"
#include "submitter/message_assembler.h"
#include "submitter/shared_input.h"

std::atomic<int32_t> g_last_activity{0};
std::atomic<bool> g_banner_pending{true};

namespace {

const size_t kLineChunk = 4096;

class StandardDiagnostics : public DiagnosticSink {
public:
    void diagnostic(const std::string &text) override { issue_diagnostic(text); }
};

// The worker still holds the input: no replacement has taken over.
bool still_current(unsigned generation) {
    if (!platform::input_turn_take(generation))
        return false;
    platform::input_turn_release(generation);
    return true;
}

// Marks a send attempt, unless a replacement has taken over meanwhile.
void mark_activity(unsigned generation) {
    if (!platform::input_turn_take(generation))
        return;
    g_last_activity.store(platform::now_seconds());
    platform::input_turn_release(generation);
}

void write_banner_once() {
    if (!g_banner_pending.load())
        return;
    g_banner_pending.store(false);
    std::string banner = banner_text();
    platform::write_stderr(banner.data(), banner.size());
}

// Sends the finished message. False when the worker has been replaced
// while it waited for the send, so that it must stop without a trace.
bool send_message(unsigned generation, MessageAssembler &assembler) {
    if (!still_current(generation))
        return false;
    int result = OrlEvt_wto(assembler.target_node(), assembler.record());
    if (!still_current(generation))
        return false;
    assembler.finish_message(result);
    mark_activity(generation);
    return true;
}

}  // namespace

std::string banner_text() {
    std::string banner;
    auto line = [&banner](const std::string &text) { banner += text + "\n"; };
    line("Welcome to Brisko.exe (Threading version).");
    line("Brisko.exe is intended to be a powerful Orvane Velmora console logging tool.");
    line("Please supply the information to be transferred over STDIN.");
    line("Example:");
    line(std::string("computer\t") + kLocalHostName);
    line("evtm_text\tHello world from Brisko.exe!");
    line("evtm_node\tnode1.example.com");
    line("");
    line("Use tab to split field name from data.");
    line("Use newline to end line.");
    line("Use newline again to finally send this data to Velmora.");
    line("You may start now by entering the data of the above example.");
    line("");
    line("Supported field names (see Velmora SDK Reference Guide):");
    line("evtm_time evtm_msgnum evtm_color evtm_attrib evtm_token evtm_flags evtm_type");
    line("evtm_severity evtm_text evtm_node evtm_user evtm_category evtm_source");
    line("evtm_station evtm_workload evtm_pinfo evtm_bindata evtm_device evtm_udata");
    line("evtm_tag");
    line("Please note: Not all writeable fields are accepted by Velmora (i.e. evtm_time).");
    line(std::string("End interactive session with ") + platform::kEndOfInputKeys + ".");
    line("Brisko.exe was written by the Brisko team.");
    line("");
    return banner;
}

void issue_diagnostic(const std::string &text) {
    std::string line = text + "\n";
    platform::write_stderr(line.data(), line.size());
    report_event(kSubmitterEventSource, EventType::warning, text.c_str());
}

void worker_entry(void *argument) {
    const unsigned generation = static_cast<unsigned>(reinterpret_cast<uintptr_t>(argument));
    StandardDiagnostics diagnostics;
    // Large fixed buffers: off the thread's stack.
    std::unique_ptr<MessageAssembler> assembler(new (std::nothrow) MessageAssembler(diagnostics));
    if (!assembler)
        return;
    write_banner_once();

    char chunk[kLineChunk];
    for (;;) {
        size_t taken = 0;
        if (take_input(generation, chunk, sizeof chunk, &taken) != TakeResult::bytes)
            return;  // end of input, or replaced
        size_t done = 0;
        while (done < taken) {
            bool message_ended = false;
            done += assembler->feed(chunk + done, taken - done, &message_ended);
            if (message_ended && !send_message(generation, *assembler))
                return;
        }
    }
}
