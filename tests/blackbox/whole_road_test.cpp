// The whole road of a message: brisko -> morwick -> event manager stand-in
// -> kestrow -> kestrow.txt, checked row by row.
#include <gtest/gtest.h>

#include <stdlib.h>
#include <time.h>

#include <string>
#include <vector>

#include "tests/blackbox/road_fixture.h"
#include "tests/support/config.h"

namespace {

using namespace road;

const char kColumnHeader[] =
    "# UniqueInternalID\tevtm_time\tevtm_msgnum\tevtm_color\tevtm_attrib\tevtm_token\tevtm_flags\tevtm_type\t"
    "evtm_severity\tevtm_text\tevtm_node\tevtm_user\tevtm_category\tevtm_source\tevtm_station\tevtm_workload\t"
    "evtm_pinfo\tevtm_bindata\tevtm_device\tevtm_udata\tevtm_tag\tevtact_token\tevtact_seqno\tevtact_cr_ti\t"
    "evtact_up_ti\tevtact_node\tevtact_user\tevtact_cr_id\tevtact_up_id\tevtact_cond_rc\tevtact_color\t"
    "evtact_attrib\tevtact_flags\tevtact_keyword\tevtact_severity\tevtact_quiet\tevtact_audit\tevtact_simul\t"
    "evtact_status\tevtact_cond_op\tevtact_dest_node\tevtact_station\tevtact_text\tevtact_category\t"
    "evtact_source\tevtact_runid\tevtact_runpw";

std::vector<std::string> split_tabs(const std::string &line) {
    std::vector<std::string> columns;
    size_t start = 0;
    for (size_t end; (end = line.find('\t', start)) != std::string::npos; start = end + 1)
        columns.push_back(line.substr(start, end - start));
    columns.push_back(line.substr(start));
    return columns;
}

// Checks a column that holds a time taken during the run, then masks it.
void expect_recent_time(std::string &column, time_t started) {
    long long value = atoll(column.c_str());
    EXPECT_GE(value, static_cast<long long>(started) - 5) << column;
    EXPECT_LE(value, static_cast<long long>(time(nullptr)) + 5) << column;
    column = "T";
}

// A row with its run-dependent times masked: evtm_time when it was 0, and
// the action's creation and update times.
std::string masked_row(const std::string &line, time_t started, bool message_time_is_call_time) {
    std::vector<std::string> columns = split_tabs(line);
    EXPECT_EQ(columns.size(), 48u) << line;
    if (columns.size() != 48)
        return line;
    if (message_time_is_call_time)
        expect_recent_time(columns[1], started);
    expect_recent_time(columns[23], started);
    expect_recent_time(columns[24], started);
    std::string out = columns[0];
    for (size_t i = 1; i < columns.size(); ++i)
        out += "\t" + columns[i];
    return out;
}

// The action columns that the event manager stand-in gives message `seqno`
// sent to localhost, times masked.
std::string action_columns(int seqno) {
    return "1\t" + std::to_string(seqno) +
           "\tT\tT\tlocalhost\tevtmgr\tevtmgr\t\t0\t2\t4\t16\tDISPLAY\tINF\tN\tY\tN\tA\t=\tOK\tlocalhost\t\t"
           "show on console\t\tevtmgr\t\t";
}

const std::string kElevenEmpty = "\t\t\t\t\t\t\t\t\t\t";  // ten tabs: eleven empty text columns follow a text

class WholeRoad : public Road {
protected:
    void SetUp() override {
        Road::SetUp();
        ASSERT_TRUE(testsupport::set_kestrow_log_dir(dir_, dir_));
        started_ = time(nullptr);
    }

    std::string log_bytes() const { return testsupport::read_file(dir_ + "/kestrow.txt"); }
    std::vector<std::string> log_lines() const { return split_lines(without_cr(log_bytes())); }

    // One run of brisko against a freshly loaded kestrow.
    void run_brisko(const std::string &input, size_t messages) {
        start_event_manager({"--exit", KESTROW_PATH});
        start_brisko();
        ASSERT_TRUE(brisko_.write_input(input));
        ASSERT_TRUE(wait_for_messages(messages));
        expect_clean_end_after_input_closes();
        event_manager_.kill();
    }

    void expect_header_at(const std::vector<std::string> &lines, size_t at) {
        ASSERT_GE(lines.size(), at + 4);
        EXPECT_EQ(lines[at], "# kestrow.dll generated file");
        EXPECT_EQ(lines[at + 1].substr(0, 2), "# ");
        EXPECT_EQ(lines[at + 2], "# fields are delimited with TABS, all tabs are removed within messages.");
        EXPECT_EQ(lines[at + 3], kColumnHeader);
    }

    time_t started_ = 0;
};

TEST_F(WholeRoad, MessagesBecomeRowsAndNumberingGoesOnAfterAReloadUntilAPurge) {
    run_brisko(kExample + "\n" + "evtm_text\ttab\there\nevtm_time\t-1\nevtm_msgnum\t7\nevtm_severity\tERR\n\n", 2);
    std::vector<std::string> lines = log_lines();
    ASSERT_EQ(lines.size(), 6u) << log_bytes();
    expect_header_at(lines, 0);
    EXPECT_EQ(masked_row(lines[4], started_, true),
              "00000001\tT\t0\t0\t0\t0\t0\t0\t\tHello world from Brisko.exe!\tnode1.example.com" +
                  std::string(10, '\t') + "\t" + action_columns(1));
    EXPECT_EQ(masked_row(lines[5], started_, false),
              "00000002\t-1\t7\t0\t0\t0\t0\t0\tERR\ttab here" + std::string(11, '\t') + "\t" + action_columns(2));
#ifdef _WIN32
    const std::string bytes = log_bytes();
    size_t line_feeds = 0, pairs = 0;
    for (size_t i = 0; i < bytes.size(); ++i) {
        line_feeds += bytes[i] == '\n';
        pairs += bytes[i] == '\n' && i > 0 && bytes[i - 1] == '\r';
    }
    EXPECT_EQ(pairs, line_feeds) << "every line ends in CR LF on disk";
#endif

    // A new load of the module recovers the numbering from the file.
    run_brisko("evtm_text\tafter reload\n\n", 1);
    lines = log_lines();
    ASSERT_EQ(lines.size(), 7u) << log_bytes();
    EXPECT_EQ(lines[6].substr(0, 9), "00000003\t");

    run_brisko("evtm_text\tKESTROW START PURGING FILE\n\nevtm_text\tfirst after purge\n\n", 2);
    lines = log_lines();
    ASSERT_EQ(lines.size(), 6u) << log_bytes();
    expect_header_at(lines, 0);
    EXPECT_EQ(masked_row(lines[4], started_, true),
              "00000001\tT\t0\t0\t0\t0\t0\t0\t\tKESTROW START PURGING FILE" + std::string(11, '\t') + "\t" +
                  action_columns(1));
    EXPECT_EQ(lines[5].substr(0, 9), "00000002\t");
}

}  // namespace
