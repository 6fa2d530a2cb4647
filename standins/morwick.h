// The event manager's client library, as this project's stand-in provides
// it: one send function that hands a message record to the event manager of
// a node and returns the event manager's answer.
#ifndef STANDINS_MORWICK_H
#define STANDINS_MORWICK_H

#include "shared/evt_message.h"

// The library's calling convention on 32-bit Windows; other platforms have
// only one.
#if defined(_WIN32) && !defined(_WIN64)
#define MORWICK_CALL __cdecl
#else
#define MORWICK_CALL
#endif

// Windows exports through MORWICK.def, so that the export name is fixed there.
#if defined(MORWICK_BUILDING) && !defined(_WIN32)
#define MORWICK_EXPORT __attribute__((visibility("default")))
#else
#define MORWICK_EXPORT
#endif

// The TCP port used when MORWICK_PORT is not set.
#define MORWICK_DEFAULT_PORT 47011

// Results of OrlEvt_wto other than the event manager's own answer. They are
// negative and far from 0 so that they are not mistaken for the small codes
// that an event manager answers.
#define MORWICK_E_NOT_RESOLVED (-1001)  // the node name gives no address
#define MORWICK_E_BAD_PORT (-1002)      // MORWICK_PORT is not a number 1..65535
#define MORWICK_E_SOCKET (-1003)        // network start-up or socket creation failed
#define MORWICK_E_REFUSED (-1004)       // nothing listens on the port of the node
#define MORWICK_E_CONNECT (-1005)       // any other failure to connect (unreachable, ...)
#define MORWICK_E_SEND (-1006)          // the message could not be sent whole
#define MORWICK_E_DROPPED (-1007)       // the connection ended before the 4-byte answer
#define MORWICK_E_ARGUMENT (-1008)      // null node or record, or a message too large to send

#ifdef __cplusplus
extern "C" {
#endif

// Sends `msg` to the event manager of `node` and waits, without a time
// limit, for its answer: 0 for success, the event manager's code, or one of
// the MORWICK_E_ codes. Keeps nothing after the call.
MORWICK_EXPORT int MORWICK_CALL OrlEvt_wto(const char *node, OrlEvtMessage *msg);

#ifdef __cplusplus
}
#endif

#endif
