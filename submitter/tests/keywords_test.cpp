#include "submitter/keywords.h"

#include <gtest/gtest.h>

#include <stddef.h>

namespace {

struct ConversionCase {
    const char *value;
    int32_t signed_decimal;
    int32_t integer;
};

const ConversionCase kConversions[] = {
    {"", 0, 0},
    {"letters", 0, 0},
    {" 42abc", 42, 42},
    {"\t\v\f+17", 17, 17},
    {"-1", -1, -1},
    {"- 5", 0, 0},                       // the sign must touch the digits
    {"\n5", 0, 0},                       // a line feed is not skipped
    {"2147483647", 2147483647, 2147483647},
    {"2147483648", 2147483647, INT32_MIN},
    {"-2147483648", INT32_MIN, INT32_MIN},
    {"-2147483649", INT32_MIN, 2147483647},
    {"4294967296", 2147483647, 0},
    {"4294967297", 2147483647, 1},
    {"-99999999999999999999", INT32_MIN, -1661992959},  // 10^20 mod 2^32 = 1661992959
    {"000000000000000000012", 12, 12},
};

TEST(Conversions, SignedDecimalClampsAndIntegerWraps) {
    for (const ConversionCase &c : kConversions) {
        EXPECT_EQ(to_signed_decimal(c.value), c.signed_decimal) << '"' << c.value << '"';
        EXPECT_EQ(to_integer(c.value), c.integer) << '"' << c.value << '"';
    }
}

TEST(KeywordTable, MatchesWholeNamesIgnoringAsciiCase) {
    struct Case {
        const char *name;
        size_t offset;  // SIZE_MAX: no match
        KeywordAction action;
    };
    const Case cases[] = {
        {"evtm_text", offsetof(OrlEvtMessage, evtm_text), KeywordAction::text},
        {"EVTM_TEXT", offsetof(OrlEvtMessage, evtm_text), KeywordAction::text},
        {"Evtm_Time", offsetof(OrlEvtMessage, evtm_time), KeywordAction::signed_decimal},
        {"evtm_evtm_pinfo", offsetof(OrlEvtMessage, evtm_pinfo), KeywordAction::text},
        {"evtm_pinfo", SIZE_MAX, KeywordAction::text},
        {"evtm_text ", SIZE_MAX, KeywordAction::text},
        {"evtm_tex", SIZE_MAX, KeywordAction::text},
        {"", SIZE_MAX, KeywordAction::text},
        {"COMPUTER", 0, KeywordAction::target_node},
        {"evtm_severity", offsetof(OrlEvtMessage, evtm_severity), KeywordAction::severity},
        {"evtm_type", offsetof(OrlEvtMessage, evtm_type), KeywordAction::integer},
    };
    for (const Case &c : cases) {
        const Keyword *keyword = find_keyword(c.name);
        if (c.offset == SIZE_MAX) {
            EXPECT_EQ(keyword, nullptr) << c.name;
            continue;
        }
        ASSERT_NE(keyword, nullptr) << c.name;
        EXPECT_EQ(keyword->offset, c.offset) << c.name;
        EXPECT_EQ(keyword->action, c.action) << c.name;
    }
}

TEST(KeywordTable, EveryTextFieldOfTheRecordHasAKeyword) {
    // The twelve references and the seven integers, each set by exactly one keyword.
    int hits[sizeof(OrlEvtMessage)] = {};
    for (size_t i = 0; i < kKeywordCount; ++i) {
        if (kKeywordTable[i].action != KeywordAction::target_node)
            ++hits[kKeywordTable[i].offset];
    }
    for (size_t i = 0; i < 7; ++i)
        EXPECT_EQ(hits[i * 4], 1) << "integer field " << i;
    EXPECT_EQ(hits[offsetof(OrlEvtMessage, evtm_severity)], 1);
    for (size_t i = 0; i < EVTM_TEXT_FIELDS; ++i)
        EXPECT_EQ(hits[offsetof(OrlEvtMessage, evtm_text) + i * sizeof(void *)], 1) << "text field " << i;
}

}  // namespace
