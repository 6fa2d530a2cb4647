// The action record: the event manager's description of one action, passed
// to the exit module beside the message record. The module reads its first
// 120 bytes (32-bit layout) and nothing of bytes 48 to 63.
#ifndef SHARED_EVT_ACTION_H
#define SHARED_EVT_ACTION_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef struct OrlEvtAction {
    int32_t evtact_token;
    int32_t evtact_seqno;
    int32_t evtact_cr_ti;
    int32_t evtact_up_ti;
    const char *evtact_node;
    const char *evtact_user;
    const char *evtact_cr_id;
    const char *evtact_up_id;
    int32_t evtact_cond_rc;
    int32_t evtact_color;
    int32_t evtact_attrib;
    int32_t evtact_flags;
    uint8_t evtact_unread[16];   // the event manager's; never read
    char evtact_keyword[16];     // held texts: end within their field
    char evtact_severity[4];
    char evtact_quiet;
    char evtact_audit;
    char evtact_simul;
    char evtact_status;
    char evtact_cond_op;
    char evtact_short_text[3];
    const char *evtact_dest_node;
    const char *evtact_station;
    const char *evtact_text;
    const char *evtact_category;
    const char *evtact_source;
    const char *evtact_runid;
    const char *evtact_runpw;
} OrlEvtAction;

#ifdef __cplusplus
}  // extern "C"

#define EVTACT_ASSERT_OFFSET(field, where) \
    static_assert(offsetof(OrlEvtAction, field) == (where), #field " is misplaced")
#define EVTACT_P (sizeof(void *))

EVTACT_ASSERT_OFFSET(evtact_token, 0);
EVTACT_ASSERT_OFFSET(evtact_up_ti, 12);
EVTACT_ASSERT_OFFSET(evtact_node, 16);
EVTACT_ASSERT_OFFSET(evtact_up_id, 16 + 3 * EVTACT_P);
EVTACT_ASSERT_OFFSET(evtact_cond_rc, 16 + 4 * EVTACT_P);
EVTACT_ASSERT_OFFSET(evtact_flags, 28 + 4 * EVTACT_P);
EVTACT_ASSERT_OFFSET(evtact_unread, 32 + 4 * EVTACT_P);
EVTACT_ASSERT_OFFSET(evtact_keyword, 48 + 4 * EVTACT_P);
EVTACT_ASSERT_OFFSET(evtact_severity, 64 + 4 * EVTACT_P);
EVTACT_ASSERT_OFFSET(evtact_quiet, 68 + 4 * EVTACT_P);
EVTACT_ASSERT_OFFSET(evtact_cond_op, 72 + 4 * EVTACT_P);
EVTACT_ASSERT_OFFSET(evtact_short_text, 73 + 4 * EVTACT_P);

#if defined(_WIN32) && !defined(_WIN64)
// The 32-bit layout is the one that the event manager passes.
EVTACT_ASSERT_OFFSET(evtact_keyword, 64);
EVTACT_ASSERT_OFFSET(evtact_severity, 80);
EVTACT_ASSERT_OFFSET(evtact_short_text, 89);
EVTACT_ASSERT_OFFSET(evtact_dest_node, 92);
EVTACT_ASSERT_OFFSET(evtact_station, 96);
EVTACT_ASSERT_OFFSET(evtact_text, 100);
EVTACT_ASSERT_OFFSET(evtact_category, 104);
EVTACT_ASSERT_OFFSET(evtact_source, 108);
EVTACT_ASSERT_OFFSET(evtact_runid, 112);
EVTACT_ASSERT_OFFSET(evtact_runpw, 116);
static_assert(sizeof(OrlEvtAction) == 120, "the module reads 120 bytes of the action record");
#endif
static_assert(offsetof(OrlEvtAction, evtact_runpw) - offsetof(OrlEvtAction, evtact_dest_node) == 6 * EVTACT_P,
              "the seven trailing references must be adjacent");

#undef EVTACT_P
#undef EVTACT_ASSERT_OFFSET
#endif  // __cplusplus

#endif  // SHARED_EVT_ACTION_H
