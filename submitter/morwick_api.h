// What Brisko imports from the event manager's client library (MORWICK.dll,
// libmorwick.so): the send function, bound by name when the program loads.
#ifndef SUBMITTER_MORWICK_API_H
#define SUBMITTER_MORWICK_API_H

#include "shared/evt_message.h"

#if defined(_WIN32) && !defined(_WIN64)
#define MORWICK_CALL __cdecl
#else
#define MORWICK_CALL
#endif

#ifdef __cplusplus
extern "C" {
#endif

// Sends `msg` to the event manager of `node`; 0 on success, else an error
// code of the library's own. Reads the record only while the call runs.
int MORWICK_CALL OrlEvt_wto(const char *node, OrlEvtMessage *msg);

#ifdef __cplusplus
}
#endif

#endif
