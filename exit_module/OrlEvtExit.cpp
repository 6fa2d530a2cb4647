// Kestrow, the exit module: its eight exports. Only OrlEvt_ExitActionPre
// works; it logs each action of the event manager to kestrow.txt. Nothing
// happens at load, in the system init exit, at termination or at unload.
#include "exit_module/OrlEvtExit.h"

#include "exit_module/exit_action.h"
#include "exit_module/kestrow_state.h"
#include "platform/clock.h"
#include "platform/lock.h"
#include "shared/event_reporter.h"

namespace {

kestrow::KestrowState g_state;

// The host is expected never to overlap calls; this lock keeps rows whole
// and identifiers unique for one that does.
platform::Lock g_action_lock;

}  // namespace

extern "C" int32_t ORLEVT_EXIT_CALL OrlEvt_ExitActionPre(const OrlEvtMessage *message, const OrlEvtAction *action) {
    int32_t call_time = platform::now_seconds();
    if (message == nullptr || action == nullptr)
        return 0;
    platform::LockGuard guard(g_action_lock);
    try {
        EventLogReporter reporter(kExitModuleEventSource);
        kestrow::exit_action_pre(g_state, *message, *action, call_time, reporter);
    } catch (...) {
        // Nothing may reach the event manager but the result 0.
    }
    return 0;
}

extern "C" int32_t ORLEVT_EXIT_CALL kestrow_exit_without_work(void) {
    return 0;
}

#define KESTROW_EXIT_WITHOUT_WORK(name) \
    extern "C" ORLEVT_EXIT_EXPORT int32_t ORLEVT_EXIT_CALL name(void) __attribute__((alias("kestrow_exit_without_work"), nothrow))

KESTROW_EXIT_WITHOUT_WORK(OrlEvt_ExitActionPost);
KESTROW_EXIT_WITHOUT_WORK(OrlEvt_ExitLogPre);
KESTROW_EXIT_WITHOUT_WORK(OrlEvt_ExitLogPost);
KESTROW_EXIT_WITHOUT_WORK(OrlEvt_ExitMessagePre);
KESTROW_EXIT_WITHOUT_WORK(OrlEvt_ExitMessagePost);
KESTROW_EXIT_WITHOUT_WORK(OrlEvt_ExitSystemInit);
KESTROW_EXIT_WITHOUT_WORK(OrlEvt_ExitSystemTerm);
