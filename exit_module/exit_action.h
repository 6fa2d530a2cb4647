// One call of OrlEvt_ExitActionPre, with its clock value and report sink
// passed in.
#ifndef EXIT_MODULE_EXIT_ACTION_H
#define EXIT_MODULE_EXIT_ACTION_H

#include <stdint.h>

#include "exit_module/kestrow_state.h"
#include "shared/event_reporter.h"
#include "shared/evt_action.h"
#include "shared/evt_message.h"

namespace kestrow {

// Opens the log when it is not open yet and the retry gate allows, then
// purges when asked, writes the header when the file has no row and
// appends the row. `call_time` is the time taken once at the call's start.
void exit_action_pre(KestrowState &state, const OrlEvtMessage &message, const OrlEvtAction &action,
                     int32_t call_time, Reporter &reporter);

}  // namespace kestrow

#endif
