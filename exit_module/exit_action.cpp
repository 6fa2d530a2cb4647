#include "exit_module/exit_action.h"

#include "exit_module/log_opening.h"
#include "exit_module/log_writer.h"

namespace kestrow {

void exit_action_pre(KestrowState &state, const OrlEvtMessage &message, const OrlEvtAction &action,
                     int32_t call_time, Reporter &reporter) {
    if (state.first_call_time == 0)
        state.first_call_time = call_time;
    if (!ensure_log_open(state, call_time, reporter))
        return;
    purge_if_asked(state, message.evtm_text, reporter);
    if (state.last_identifier == 0)
        write_header(state.log_stream);
    write_row(state, message, action, call_time, reporter);
}

}  // namespace kestrow
