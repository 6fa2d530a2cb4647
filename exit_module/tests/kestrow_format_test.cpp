// The log file's format: header, row columns, column sanitising, value
// forms, and the report when a row's line end cannot be written.
#include <gtest/gtest.h>
#include <stdio.h>
#include <string.h>

#include <string>
#include <vector>

#include "exit_module/log_writer.h"
#include "exit_module/tests/test_support.h"

using kestrow::KestrowState;
using kestrow_test::RecordingReporter;
using kestrow_test::split;

namespace {

const int32_t kCallTime = 1700000123;

// A log stream over a scratch file, read back as raw bytes.
class CapturedLog {
public:
    CapturedLog() {
        state.log_stream = tmpfile();
        state.log_path = "captured.txt";
    }
    ~CapturedLog() {
        if (state.log_stream != nullptr)
            fclose(state.log_stream);
    }
    std::string contents() {
        fflush(state.log_stream);
        rewind(state.log_stream);
        std::string bytes;
        char block[4096];
        size_t got;
        while ((got = fread(block, 1, sizeof block, state.log_stream)) > 0)
            bytes.append(block, got);
        fseek(state.log_stream, 0, SEEK_END);
        return bytes;
    }
    void write_row(const OrlEvtMessage &message, const OrlEvtAction &action) {
        kestrow::write_row(state, message, action, kCallTime, reporter);
    }

    KestrowState state;
    RecordingReporter reporter;
};

OrlEvtMessage full_message() {
    OrlEvtMessage m;
    memset(&m, 0, sizeof m);
    m.evtm_time = 1600000000;
    m.evtm_msgnum = 2;
    m.evtm_color = -3;
    m.evtm_attrib = 4;
    m.evtm_token = 5;
    m.evtm_flags = 6;
    m.evtm_type = 7;
    memcpy(m.evtm_severity, "MAJ", 4);
    m.evtm_text = "text";
    m.evtm_node = "node";
    m.evtm_user = "user";
    m.evtm_category = "category";
    m.evtm_source = "source";
    m.evtm_station = "station";
    m.evtm_workload = "workload";
    m.evtm_pinfo = "pinfo";
    m.evtm_bindata = "bindata";
    m.evtm_device = "device";
    m.evtm_udata = "udata";
    m.evtm_tag = "tag";
    return m;
}

OrlEvtAction full_action() {
    OrlEvtAction a;
    memset(&a, 0, sizeof a);
    a.evtact_token = 11;
    a.evtact_seqno = 12;
    a.evtact_cr_ti = 13;
    a.evtact_up_ti = 14;
    a.evtact_node = "a_node";
    a.evtact_user = "a_user";
    a.evtact_cr_id = "a_cr_id";
    a.evtact_up_id = "a_up_id";
    a.evtact_cond_rc = -15;
    a.evtact_color = 16;
    a.evtact_attrib = 17;
    a.evtact_flags = 18;
    memset(a.evtact_unread, 'U', sizeof a.evtact_unread);
    strcpy(a.evtact_keyword, "KEYWORD");
    strcpy(a.evtact_severity, "MIN");
    a.evtact_quiet = 'Q';
    a.evtact_audit = 'A';
    a.evtact_simul = 'S';
    a.evtact_status = 'T';
    a.evtact_cond_op = '=';
    strcpy(a.evtact_short_text, "st");
    a.evtact_dest_node = "a_dest";
    a.evtact_station = "a_station";
    a.evtact_text = "a_text";
    a.evtact_category = "a_category";
    a.evtact_source = "a_source";
    a.evtact_runid = "a_runid";
    a.evtact_runpw = "a_runpw";
    return a;
}

OrlEvtMessage empty_message() {
    OrlEvtMessage m;
    memset(&m, 0, sizeof m);
    return m;
}

OrlEvtAction empty_action() {
    OrlEvtAction a;
    memset(&a, 0, sizeof a);
    a.evtact_quiet = a.evtact_audit = a.evtact_simul = a.evtact_status = a.evtact_cond_op = 'x';
    return a;
}

std::string column_of(const char *text, size_t width = SIZE_MAX) {
    CapturedLog log;
    kestrow::write_column(log.state.log_stream, text, width);
    return log.contents();
}

}  // namespace

TEST(KestrowHeader, FourLinesWithFortySevenColumnNames) {
    CapturedLog log;
    kestrow::write_header(log.state.log_stream);
    std::vector<std::string> lines = split(log.contents(), '\n');
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[4], "");
    EXPECT_EQ(lines[0], "# kestrow.dll generated file");
    EXPECT_EQ(lines[1].substr(0, 2), "# ");
    EXPECT_GT(lines[1].size(), 2u);
    EXPECT_EQ(lines[2], "# fields are delimited with TABS, all tabs are removed within messages.");

    std::vector<std::string> names = split(lines[3], '\t');
    ASSERT_EQ(names.size(), 47u);
    EXPECT_EQ(names[0], "# UniqueInternalID");
    EXPECT_EQ(names[1], "evtm_time");
    EXPECT_EQ(names[20], "evtm_tag");
    EXPECT_EQ(names[21], "evtact_token");
    EXPECT_EQ(names[39], "evtact_cond_op");
    EXPECT_EQ(names[40], "evtact_dest_node");
    EXPECT_EQ(names[46], "evtact_runpw");
    for (const std::string &name : names)
        EXPECT_FALSE(name.empty());
}

TEST(KestrowRow, FortyEightColumnsInRecordOrder) {
    CapturedLog log;
    log.write_row(full_message(), full_action());
    const std::vector<std::string> expected = {
        "00000001", "1600000000", "2",        "-3",        "4",       "5",          "6",        "7",
        "MAJ",      "text",       "node",     "user",      "category", "source",    "station",  "workload",
        "pinfo",    "bindata",    "device",   "udata",     "tag",     "11",         "12",       "13",
        "14",       "a_node",     "a_user",   "a_cr_id",   "a_up_id", "-15",        "16",       "17",
        "18",       "KEYWORD",    "MIN",      "Q",         "A",       "S",          "T",        "=",
        "st",       "a_dest",     "a_station", "a_text",   "a_category", "a_source", "a_runid", "a_runpw"};
    std::string contents = log.contents();
    ASSERT_EQ(contents.back(), '\n');
    EXPECT_EQ(split(contents.substr(0, contents.size() - 1), '\t'), expected);
    EXPECT_EQ(log.state.last_identifier, 1u);
    EXPECT_TRUE(log.reporter.events.empty());
}

TEST(KestrowRow, AbsentTextsGiveEmptyColumns) {
    CapturedLog log;
    log.write_row(empty_message(), empty_action());
    std::string contents = log.contents();
    std::vector<std::string> columns = split(contents.substr(0, contents.size() - 1), '\t');
    ASSERT_EQ(columns.size(), 48u);
    const int text_columns[] = {9,  10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21,
                                26, 27, 28, 29, 34, 35, 41, 42, 43, 44, 45, 46, 47, 48};
    for (int column : text_columns)
        EXPECT_EQ(columns[column - 1], "") << "column " << column;
    EXPECT_EQ(columns[1], std::to_string(kCallTime)) << "a message time of 0 takes the call time";
}

TEST(KestrowColumn, SanitisesLineAndTabBytesOnly) {
    struct Case {
        std::string text;
        std::string column;
    };
    const Case cases[] = {
        {"", "\t"},
        {"two words", "\ttwo words"},
        {"a\tb", "\ta b"},
        {"a\r\nb", "\ta  b"},
        {"\b\f", "\t  "},
        {"\x80\xA9\xFF", "\t\x80\xA9\xFF"},
        {"\x01\x07\x1B\x7F\x1A", "\t\x01\x07\x1B\x7F\x1A"},
        {std::string(600, 'z') + "\t", "\t" + std::string(600, 'z') + " "},
    };
    for (const Case &c : cases)
        EXPECT_EQ(column_of(c.text.c_str()), c.column) << c.text;
    EXPECT_EQ(column_of(nullptr), "\t");
}

TEST(KestrowColumn, HeldTextStopsAtItsFieldEnd) {
    const char field[6] = {'a', 'b', 'c', 'd', 'e', 'f'};
    EXPECT_EQ(column_of(field, 4), "\tabcd");
    EXPECT_EQ(column_of("ab\0cd", 5), "\tab");
}

TEST(KestrowRow, IdentifierForms) {
    struct Case {
        uint32_t last_identifier;
        const char *first_column;
        uint32_t after;
    };
    const Case cases[] = {
        {0, "00000001", 1},
        {99999998, "99999999", 99999999},
        {99999999, "100000000", 100000000},
        {2147483647, "2147483648", 2147483648u},
        {4294967294u, "4294967295", 4294967295u},
        {4294967295u, "00000000", 0},
    };
    for (const Case &c : cases) {
        CapturedLog log;
        log.state.last_identifier = c.last_identifier;
        log.write_row(full_message(), full_action());
        EXPECT_EQ(split(log.contents(), '\t')[0], c.first_column);
        EXPECT_EQ(log.state.last_identifier, c.after);
    }
}

TEST(KestrowRow, MessageTimeAndNegativeNumbers) {
    struct Case {
        int32_t evtm_time;
        std::string logged;
    };
    const Case cases[] = {{0, std::to_string(kCallTime)}, {-1, "-1"}, {-2147483647 - 1, "-2147483648"}, {42, "42"}};
    for (const Case &c : cases) {
        CapturedLog log;
        OrlEvtMessage message = full_message();
        message.evtm_time = c.evtm_time;
        log.write_row(message, full_action());
        EXPECT_EQ(split(log.contents(), '\t')[1], c.logged);
    }
}

TEST(KestrowRow, SingleCharacterFieldsAreWrittenAsTheirBytes) {
    CapturedLog log;
    OrlEvtAction action = full_action();
    action.evtact_quiet = '\0';
    action.evtact_audit = '\t';
    action.evtact_cond_op = '\n';
    log.write_row(full_message(), action);
    std::string contents = log.contents();
    std::string expected_middle = std::string("\tMIN\t") + '\0' + "\t\t\tS\tT\t\n\tst\t";
    EXPECT_NE(contents.find(expected_middle), std::string::npos);
    std::vector<std::string> lines = split(contents, '\n');
    ASSERT_EQ(lines.size(), 3u) << "the line-feed byte ends a line inside the row";
    EXPECT_EQ(split(lines[0], '\t').size() + split(lines[1], '\t').size() - 1, 49u)
        << "the tab byte adds one column";
}

TEST(KestrowRow, FailedLineEndIsReportedAndItsIdentifierStaysUsed) {
    kestrow_test::TempDir dir;
    std::string path = dir.file("readonly.txt");
    kestrow_test::write_file(path, "");
    KestrowState state;
    state.log_path = path;
    state.log_stream = fopen(path.c_str(), "r");
    ASSERT_NE(state.log_stream, nullptr);
    RecordingReporter reporter;
    kestrow::write_row(state, full_message(), full_action(), kCallTime, reporter);
    kestrow::write_row(state, full_message(), full_action(), kCallTime, reporter);
    fclose(state.log_stream);

    EXPECT_EQ(state.last_identifier, 2u);
    ASSERT_EQ(reporter.events.size(), 2u);
    for (const auto &event : reporter.events) {
        EXPECT_EQ(event.first, EventType::warning);
        EXPECT_EQ(event.second, "Could not write to file ' " + path + " '.");
    }
}

TEST(KestrowPurgePhrase, WholeTextMatchedIgnoringLetterCase) {
    struct Case {
        const char *text;
        bool purges;
    };
    const Case cases[] = {
        {"Kestrow start purging file", true},
        {"KESTROW START PURGING FILE", true},
        {"kEsTrOw StArT pUrGiNg FiLe", true},
        {"Kestrow start purging file ", false},
        {" Kestrow start purging file", false},
        {"Kestrow start purging file now", false},
        {"Kestrow start purging fil", false},
        {"Kestrow\tstart purging file", false},
        {"", false},
        {nullptr, false},
    };
    for (const Case &c : cases)
        EXPECT_EQ(kestrow::is_purge_phrase(c.text), c.purges) << (c.text ? c.text : "(absent)");
}
