#include "submitter/keywords.h"

#include <stddef.h>

#include "shared/text.h"

#define FIELD(name) offsetof(OrlEvtMessage, name)

const Keyword kKeywordTable[] = {
    {"evtm_time", KeywordAction::signed_decimal, FIELD(evtm_time)},
    {"evtm_text", KeywordAction::text, FIELD(evtm_text)},
    {"evtm_node", KeywordAction::text, FIELD(evtm_node)},
    {"evtm_msgnum", KeywordAction::integer, FIELD(evtm_msgnum)},
    {"evtm_color", KeywordAction::integer, FIELD(evtm_color)},
    {"evtm_attrib", KeywordAction::integer, FIELD(evtm_attrib)},
    {"evtm_token", KeywordAction::integer, FIELD(evtm_token)},
    {"evtm_flags", KeywordAction::integer, FIELD(evtm_flags)},
    {"evtm_type", KeywordAction::integer, FIELD(evtm_type)},
    {"evtm_severity", KeywordAction::severity, FIELD(evtm_severity)},
    {"evtm_user", KeywordAction::text, FIELD(evtm_user)},
    {"evtm_category", KeywordAction::text, FIELD(evtm_category)},
    {"evtm_source", KeywordAction::text, FIELD(evtm_source)},
    {"evtm_station", KeywordAction::text, FIELD(evtm_station)},
    {"evtm_workload", KeywordAction::text, FIELD(evtm_workload)},
    // The field is evtm_pinfo, but its keyword carries the prefix twice.
    {"evtm_evtm_pinfo", KeywordAction::text, FIELD(evtm_pinfo)},
    {"evtm_bindata", KeywordAction::text, FIELD(evtm_bindata)},
    {"evtm_device", KeywordAction::text, FIELD(evtm_device)},
    {"evtm_udata", KeywordAction::text, FIELD(evtm_udata)},
    {"evtm_tag", KeywordAction::text, FIELD(evtm_tag)},
    {"computer", KeywordAction::target_node, 0},
};
const size_t kKeywordCount = sizeof kKeywordTable / sizeof kKeywordTable[0];

#undef FIELD

namespace {

bool is_skipped_blank(char c) {
    return c == ' ' || c == '\t' || c == '\v' || c == '\f';
}

// Skips the blanks and the sign; leaves `value` at the first digit.
bool take_sign(const char *&value) {
    while (is_skipped_blank(*value))
        ++value;
    bool negative = *value == '-';
    if (*value == '-' || *value == '+')
        ++value;
    return negative;
}

bool is_digit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

const Keyword *find_keyword(const char *name) {
    for (size_t i = 0; i < kKeywordCount; ++i) {
        if (text::equal_ignoring_ascii_case(name, kKeywordTable[i].name))
            return &kKeywordTable[i];
    }
    return nullptr;
}

int32_t to_signed_decimal(const char *value) {
    bool negative = take_sign(value);
    const int64_t limit = negative ? 2147483648LL : 2147483647LL;
    int64_t magnitude = 0;
    for (; is_digit(*value); ++value) {
        magnitude = magnitude * 10 + (*value - '0');
        if (magnitude > limit)
            magnitude = limit;  // saturated; further digits cannot lower it
    }
    return static_cast<int32_t>(negative ? -magnitude : magnitude);
}

int32_t to_integer(const char *value) {
    bool negative = take_sign(value);
    uint32_t accumulated = 0;
    for (; is_digit(*value); ++value)
        accumulated = accumulated * 10u + static_cast<uint32_t>(*value - '0');
    if (negative)
        accumulated = 0u - accumulated;
    return static_cast<int32_t>(accumulated);
}
