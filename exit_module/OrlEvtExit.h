// The exit entry points of Kestrow, as the event manager finds them by name.
#ifndef EXIT_MODULE_ORLEVTEXIT_H
#define EXIT_MODULE_ORLEVTEXIT_H

#include <stdint.h>

#include "shared/evt_action.h"
#include "shared/evt_message.h"

#if defined(_WIN32) && !defined(_WIN64)
#define ORLEVT_EXIT_CALL __cdecl
#else
#define ORLEVT_EXIT_CALL
#endif

// Windows exports through the module definition file; elsewhere the module
// is built with hidden visibility and these names are made visible.
#if !defined(_WIN32) && defined(__GNUC__)
#define ORLEVT_EXIT_EXPORT __attribute__((visibility("default")))
#else
#define ORLEVT_EXIT_EXPORT
#endif

#ifdef __cplusplus
extern "C" {
#endif

// Logs the action: always 0.
ORLEVT_EXIT_EXPORT int32_t ORLEVT_EXIT_CALL OrlEvt_ExitActionPre(const OrlEvtMessage *message, const OrlEvtAction *action);

// The seven exits without work: one function under seven names. It reads no
// argument (the caller cleans the stack), touches nothing and returns 0.
ORLEVT_EXIT_EXPORT int32_t ORLEVT_EXIT_CALL OrlEvt_ExitActionPost(void);
ORLEVT_EXIT_EXPORT int32_t ORLEVT_EXIT_CALL OrlEvt_ExitLogPre(void);
ORLEVT_EXIT_EXPORT int32_t ORLEVT_EXIT_CALL OrlEvt_ExitLogPost(void);
ORLEVT_EXIT_EXPORT int32_t ORLEVT_EXIT_CALL OrlEvt_ExitMessagePre(void);
ORLEVT_EXIT_EXPORT int32_t ORLEVT_EXIT_CALL OrlEvt_ExitMessagePost(void);
ORLEVT_EXIT_EXPORT int32_t ORLEVT_EXIT_CALL OrlEvt_ExitSystemInit(void);
ORLEVT_EXIT_EXPORT int32_t ORLEVT_EXIT_CALL OrlEvt_ExitSystemTerm(void);

typedef int32_t(ORLEVT_EXIT_CALL *OrlEvtExitActionPreFunction)(const OrlEvtMessage *, const OrlEvtAction *);
typedef int32_t(ORLEVT_EXIT_CALL *OrlEvtExitWithoutWorkFunction)(void);

#ifdef __cplusplus
}  // extern "C"
#endif

#endif
