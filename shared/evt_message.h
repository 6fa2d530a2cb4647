// The message record: the event manager's description of one message.
//
// Its layout is an interface of the event manager and its client library:
// 112 bytes on 32-bit x86 Windows. Wider builds keep the same fields in the
// same order with the same integer widths and native text references.
#ifndef SHARED_EVT_MESSAGE_H
#define SHARED_EVT_MESSAGE_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#define EVTM_TEXT_FIELDS 12

typedef struct OrlEvtMessage {
    int32_t evtm_time;      // seconds since 1970; 0: no time given
    int32_t evtm_msgnum;
    int32_t evtm_color;
    int32_t evtm_attrib;
    int32_t evtm_token;
    int32_t evtm_flags;
    int32_t evtm_type;
    uint8_t evtm_reserved1[16];
    char evtm_severity[4];  // at most three characters and a zero byte
    // Text references: 0 means absent, read as an empty text.
    const char *evtm_text;
    const char *evtm_node;
    const char *evtm_user;
    const char *evtm_category;
    const char *evtm_source;
    const char *evtm_station;
    const char *evtm_workload;
    const char *evtm_pinfo;
    const char *evtm_bindata;
    const char *evtm_device;
    const char *evtm_udata;
    const char *evtm_tag;
    uint8_t evtm_reserved2[16];
} OrlEvtMessage;

#ifdef __cplusplus
}  // extern "C"

// The text references in record order, for code that treats them alike.
inline const char *const *evtm_text_references(const OrlEvtMessage &m) {
    return &m.evtm_text;
}

#define EVTM_ASSERT_OFFSET(field, where) \
    static_assert(offsetof(OrlEvtMessage, field) == (where), #field " is misplaced")

EVTM_ASSERT_OFFSET(evtm_time, 0);
EVTM_ASSERT_OFFSET(evtm_msgnum, 4);
EVTM_ASSERT_OFFSET(evtm_color, 8);
EVTM_ASSERT_OFFSET(evtm_attrib, 12);
EVTM_ASSERT_OFFSET(evtm_token, 16);
EVTM_ASSERT_OFFSET(evtm_flags, 20);
EVTM_ASSERT_OFFSET(evtm_type, 24);
EVTM_ASSERT_OFFSET(evtm_reserved1, 28);
EVTM_ASSERT_OFFSET(evtm_severity, 44);
EVTM_ASSERT_OFFSET(evtm_text, 48);
static_assert(sizeof(void *) == 4 || sizeof(void *) == 8, "unsupported address width");

// Text references follow each other at the width of an address.
#define EVTM_ASSERT_REF(field, index) \
    EVTM_ASSERT_OFFSET(field, 48 + sizeof(void *) * (index))
EVTM_ASSERT_REF(evtm_node, 1);
EVTM_ASSERT_REF(evtm_user, 2);
EVTM_ASSERT_REF(evtm_category, 3);
EVTM_ASSERT_REF(evtm_source, 4);
EVTM_ASSERT_REF(evtm_station, 5);
EVTM_ASSERT_REF(evtm_workload, 6);
EVTM_ASSERT_REF(evtm_pinfo, 7);
EVTM_ASSERT_REF(evtm_bindata, 8);
EVTM_ASSERT_REF(evtm_device, 9);
EVTM_ASSERT_REF(evtm_udata, 10);
EVTM_ASSERT_REF(evtm_tag, 11);
EVTM_ASSERT_REF(evtm_reserved2, 12);
#undef EVTM_ASSERT_REF
#undef EVTM_ASSERT_OFFSET

// The 32-bit layout is the one exchanged with the event manager.
static_assert(sizeof(void *) != 4 || sizeof(OrlEvtMessage) == 112, "message record must be 112 bytes");
static_assert(sizeof(void *) != 4 || offsetof(OrlEvtMessage, evtm_tag) == 92, "evtm_tag must be at 92");
static_assert(sizeof(void *) != 8 || sizeof(OrlEvtMessage) == 160, "64-bit message record must be 160 bytes");

#endif  // __cplusplus

#endif  // SHARED_EVT_MESSAGE_H
