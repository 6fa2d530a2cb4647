// An exit module for the tests: records what the event manager stand-in
// passes to it and shows it through one more export.
#include <stdio.h>

#include <string>

#include "shared/evt_action.h"
#include "shared/evt_message.h"
#include "standins/evtmgr.h"

#if defined(_WIN32)
#define RECORDING_EXPORT extern "C" __declspec(dllexport)
#else
#define RECORDING_EXPORT extern "C" __attribute__((visibility("default")))
#endif

namespace {

int g_init_calls = 0;
int g_action_calls = 0;
std::string g_last;

const char *shown(const char *text) { return text != nullptr ? text : "(absent)"; }

}  // namespace

RECORDING_EXPORT int EVTMGR_EXIT_CALL OrlEvt_ExitActionPre(const OrlEvtMessage *message, const OrlEvtAction *action) {
    ++g_action_calls;
    char line[1024];
    snprintf(line, sizeof line,
             "text=%s user=%s seqno=%d token=%d cr_ti=%d up_ti=%d node=%s user=%s cr_id=%s up_id=%s "
             "cond_rc=%d color=%d attrib=%d flags=%d keyword=%s severity=%s quiet=%c audit=%c simul=%c "
             "status=%c cond_op=%c short_text=%s dest_node=%s station=%s text=%s category=%s source=%s "
             "runid=%s runpw=%s",
             shown(message->evtm_text), shown(message->evtm_user), action->evtact_seqno, action->evtact_token,
             action->evtact_cr_ti, action->evtact_up_ti, shown(action->evtact_node), shown(action->evtact_user),
             shown(action->evtact_cr_id), shown(action->evtact_up_id), action->evtact_cond_rc,
             action->evtact_color, action->evtact_attrib, action->evtact_flags, action->evtact_keyword,
             action->evtact_severity, action->evtact_quiet, action->evtact_audit, action->evtact_simul,
             action->evtact_status, action->evtact_cond_op, action->evtact_short_text,
             shown(action->evtact_dest_node), shown(action->evtact_station), shown(action->evtact_text),
             shown(action->evtact_category), shown(action->evtact_source), shown(action->evtact_runid),
             shown(action->evtact_runpw));
    g_last = line;
    return 0;
}

RECORDING_EXPORT int EVTMGR_EXIT_CALL OrlEvt_ExitSystemInit() {
    ++g_init_calls;
    return 0;
}

RECORDING_EXPORT int EVTMGR_EXIT_CALL OrlEvt_ExitActionPost() { return 0; }
RECORDING_EXPORT int EVTMGR_EXIT_CALL OrlEvt_ExitLogPre() { return 0; }
RECORDING_EXPORT int EVTMGR_EXIT_CALL OrlEvt_ExitLogPost() { return 0; }
RECORDING_EXPORT int EVTMGR_EXIT_CALL OrlEvt_ExitMessagePre() { return 0; }
RECORDING_EXPORT int EVTMGR_EXIT_CALL OrlEvt_ExitMessagePost() { return 0; }
RECORDING_EXPORT int EVTMGR_EXIT_CALL OrlEvt_ExitSystemTerm() { return 0; }

// "init=<SystemInit calls> calls=<ActionPre calls> <the last ActionPre call>"
RECORDING_EXPORT const char *recording_exit_summary() {
    static std::string summary;
    summary = "init=" + std::to_string(g_init_calls) + " calls=" + std::to_string(g_action_calls) + " " + g_last;
    return summary.c_str();
}
