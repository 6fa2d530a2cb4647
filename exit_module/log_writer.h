// The log file's format: header, rows of 48 tab-separated columns, and the
// purge that empties the file.
#ifndef EXIT_MODULE_LOG_WRITER_H
#define EXIT_MODULE_LOG_WRITER_H

#include <stddef.h>
#include <stdint.h>
#include <stdio.h>

#include "exit_module/kestrow_state.h"
#include "shared/event_reporter.h"
#include "shared/evt_action.h"
#include "shared/evt_message.h"

namespace kestrow {

extern const char kPurgePhrase[];   // "Kestrow start purging file"

// Whether `text` is the purge phrase, letters A to Z matching their lower
// case; an absent text never is.
bool is_purge_phrase(const char *text);

// Empties the file when the message text is the purge phrase; on success
// the last identifier becomes 0. Failures leave file and identifier as they
// were and are reported.
void purge_if_asked(KestrowState &state, const char *message_text, Reporter &reporter);

// The four header lines.
void write_header(FILE *stream);

// A tab, then the text with CR, LF, tab, backspace and form feed written as
// spaces. Absent (nullptr): the tab alone. At most `field_width` bytes are
// read, for a text held in a record.
void write_column(FILE *stream, const char *text, size_t field_width = SIZE_MAX);

// Advances the last identifier and writes one row and its line end, then
// flushes. `call_time` stands in for a message time of 0.
void write_row(KestrowState &state, const OrlEvtMessage &message, const OrlEvtAction &action, int32_t call_time,
               Reporter &reporter);

}  // namespace kestrow

#endif
