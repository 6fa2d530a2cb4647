// The keyword table: which field line sets which part of a message, and the
// two number conversions that the integer fields use.
#ifndef SUBMITTER_KEYWORDS_H
#define SUBMITTER_KEYWORDS_H

#include <stdint.h>

#include "shared/evt_message.h"

enum class KeywordAction {
    signed_decimal,  // evtm_time: clamped to the 32-bit range
    integer,         // wraps modulo 2^32
    severity,        // up to three characters, held in the record
    text,            // the record refers to the value's copy
    target_node,     // the message is sent to the node the value names
};

struct Keyword {
    const char *name;
    KeywordAction action;
    size_t offset;  // of the record field; unused for the target node
};

extern const Keyword kKeywordTable[];
extern const size_t kKeywordCount;

// The first keyword, in table order, equal to `name` without regard to the
// case of ASCII letters; nullptr when none matches.
const Keyword *find_keyword(const char *name);

// Leading spaces, tabs, vertical tabs and form feeds, an optional sign,
// decimal digits up to the first other character; 0 without digits.
int32_t to_signed_decimal(const char *value);  // beyond the range: the nearest limit
int32_t to_integer(const char *value);         // accumulated modulo 2^32

#endif
