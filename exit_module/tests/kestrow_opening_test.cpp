// One call of OrlEvt_ExitActionPre with an injected call time: locating and
// opening the log, the retry gate and back-off, numbering and the purge.
#include <gtest/gtest.h>
#include <limits.h>
#include <string.h>

#include <algorithm>
#include <string>
#include <vector>

#include "exit_module/exit_action.h"
#include "exit_module/log_opening.h"
#include "exit_module/tests/test_support.h"
#include "platform/syserror.h"

using kestrow_test::kLineEnd;
using kestrow_test::kSeparator;
using kestrow_test::read_file;
using Events = std::vector<std::pair<EventType, std::string>>;

namespace {

const int32_t T = 1700000000;
const std::string kKey = "SOFTWARE\\Brannick\\Kestrow.DLL";

std::string error_text(uint32_t code) {
    return platform::system_error_text(code);
}

std::string string_value(const std::string &text) {
    return text + std::string(1, '\0');
}

std::string line(const std::string &text) {
    return text + kLineEnd;
}

std::string header() {
    return line("# kestrow.dll generated file");
}

// Lines of a file written in text mode, without their line ends.
std::vector<std::string> lines_of(const std::string &contents) {
    std::vector<std::string> lines = kestrow_test::split(contents, '\n');
    if (!lines.empty() && lines.back().empty())
        lines.pop_back();
    for (std::string &l : lines) {
        if (strcmp(kLineEnd, "\r\n") == 0 && !l.empty() && l.back() == '\r')
            l.pop_back();
    }
    return lines;
}

std::string column(const std::string &row_line, size_t index) {
    return kestrow_test::split(row_line, '\t').at(index);
}

class KestrowOpening : public ::testing::Test {
protected:
    KestrowOpening() {
        memset(&message, 0, sizeof message);
        memset(&action, 0, sizeof action);
    }
    ~KestrowOpening() override {
        if (state.log_stream != nullptr)
            fclose(state.log_stream);
    }

    Events call(int32_t call_time, const char *text = "hello") {
        message.evtm_text = text;
        reporter.events.clear();
        kestrow::exit_action_pre(state, message, action, call_time, reporter);
        return reporter.events;
    }
    void point_log_dir_at_scratch() { registry.set_log_dir(string_value(logs.path())); }
    std::string log_path() const { return logs.path() + kSeparator + "kestrow.txt"; }
    std::string contents() const { return read_file(log_path()); }

    static Events warning(const std::string &text) { return {{EventType::warning, text}}; }
    static std::string file_warning(const std::string &path) {
        return "Could not open file ' " + path + " '. The error was: No such file or directory.";
    }
    std::string opened(unsigned long last_id) const {
        return "The file ' " + log_path() + " ' was opened, last id was " + std::to_string(last_id) + ".";
    }

    kestrow_test::ScratchRegistry registry;
    kestrow_test::TempDir logs;
    kestrow::KestrowState state;
    kestrow_test::RecordingReporter reporter;
    OrlEvtMessage message;
    OrlEvtAction action;
};

TEST_F(KestrowOpening, NoKeyAtTheFirstCall) {
    Events expected = {
        {EventType::warning, "Error opening key " + kKey + ".The error is " + error_text(kestrow_test::kMissingEntryCode)},
        {EventType::warning, file_warning("")},
    };
    EXPECT_EQ(call(T), expected);
    EXPECT_EQ(state.failure_count, 2);
    EXPECT_EQ(state.retry_at_time, T);
    EXPECT_EQ(state.first_call_time, T);
    EXPECT_EQ(state.log_descriptor, -1);

    EXPECT_TRUE(call(T).empty()) << "within the same second the gate holds";
    EXPECT_EQ(call(T + 1), expected) << "one second later a new attempt is made";
    EXPECT_EQ(state.failure_count, 4);
}

TEST_F(KestrowOpening, MissingDirectoryBacksOff) {
    std::string absent = logs.file("absent");
    registry.set_log_dir(string_value(absent));
    std::string path = absent + kSeparator + "kestrow.txt";

    EXPECT_EQ(call(T), warning(file_warning(path)));
    EXPECT_EQ(state.failure_count, 1);
    EXPECT_EQ(state.retry_at_time, T);

    EXPECT_EQ(call(T + 10), warning(file_warning(path)));
    EXPECT_EQ(state.failure_count, 2);
    EXPECT_EQ(state.retry_at_time, T + 20);

    EXPECT_TRUE(call(T + 11).empty());
    EXPECT_TRUE(call(T + 20).empty());
    EXPECT_EQ(call(T + 21), warning(file_warning(path)));
    EXPECT_EQ(state.failure_count, 3);
    EXPECT_EQ(state.log_path, path) << "a path that failed to open stays";
}

TEST_F(KestrowOpening, EmptyValueWithoutEarlierPath) {
    registry.set_log_dir(string_value(""));
    EXPECT_EQ(call(T), warning(file_warning("")));
    EXPECT_EQ(state.failure_count, 1);
}

TEST_F(KestrowOpening, MissingValue) {
    registry.create_key();
    Events expected = {
        {EventType::warning,
         "Error getting registry value " + kKey + "\\LogDir.The error is " + error_text(kestrow_test::kMissingEntryCode)},
        {EventType::warning, file_warning("")},
    };
    EXPECT_EQ(call(T), expected);
    EXPECT_EQ(state.failure_count, 2);
}

TEST_F(KestrowOpening, TextTakenFromTheValue) {
    struct Case {
        const char *what;
        std::string value;
        std::string directory_text;
        bool value_fails;
    };
    const std::string dir = logs.path();
    const Case cases[] = {
        {"string with terminator", string_value(dir), dir, false},
        {"253 characters", string_value(std::string(253, 'd')), std::string(253, 'd'), false},
        {"254 characters", string_value(std::string(254, 'd')), "", true},
        {"without terminator", "/var/log/kestrow", "/var/log/kestro", false},
        {"as echo writes it", "/var/log/kestrow\n", "/var/log/kestrow", false},
        {"zero byte first", std::string("\0abc", 4), "", false},
        {"zero byte inside", std::string("abc\0def\0", 8), "abc", false},
        {"ending in the separator", string_value(dir + kSeparator), dir + kSeparator, false},
    };
    for (const Case &c : cases) {
        kestrow::KestrowState fresh;
        kestrow_test::RecordingReporter sink;
        registry.set_log_dir(c.value);
        kestrow::attempt_log_open(fresh, T, sink);
        if (fresh.log_stream != nullptr)
            fclose(fresh.log_stream);

        EXPECT_EQ(fresh.directory_text, c.directory_text) << c.what;
        std::string expected_path = c.directory_text.empty() ? "" : c.directory_text + kSeparator + "kestrow.txt";
        EXPECT_EQ(fresh.log_path, expected_path) << c.what;
        ASSERT_FALSE(sink.events.empty()) << c.what;
        std::string value_failure =
            "Error getting registry value " + kKey + "\\LogDir.The error is " + error_text(kestrow_test::kValueTooLargeCode);
        EXPECT_EQ(sink.events[0].second == value_failure, c.value_fails) << c.what << ": " << sink.events[0].second;
    }
}

TEST_F(KestrowOpening, NewFileGetsHeaderAndFirstRowInTheOpeningCall) {
    point_log_dir_at_scratch();
    EXPECT_EQ(call(T), (Events{{EventType::information, opened(0)}}));

    std::string bytes = contents();
    std::vector<std::string> lines = lines_of(bytes);
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[0], "# kestrow.dll generated file");
    EXPECT_EQ(lines[3].substr(0, 19), "# UniqueInternalID\t");
    EXPECT_EQ(column(lines[4], 0), "00000001");
    EXPECT_EQ(column(lines[4], 1), std::to_string(T));
    EXPECT_EQ(column(lines[4], 9), "hello");

    // Every line ends with the platform's line end on disk.
    size_t line_ends = 0;
    for (size_t at = bytes.find(kLineEnd); at != std::string::npos; at = bytes.find(kLineEnd, at + 1))
        ++line_ends;
    EXPECT_EQ(line_ends, 5u);
    EXPECT_EQ(bytes.size() - bytes.rfind(kLineEnd), strlen(kLineEnd));

    EXPECT_TRUE(call(T + 1).empty());
    EXPECT_EQ(column(lines_of(contents()).back(), 0), "00000002");
}

TEST_F(KestrowOpening, ExistingRowsContinueFromTheHighestIdentifier) {
    const std::string existing = line("00000012\tearlier") + line("00000007\tlater");
    kestrow_test::write_file(log_path(), existing);
    point_log_dir_at_scratch();
    EXPECT_EQ(call(T), (Events{{EventType::information, opened(12)}}));
    std::string bytes = contents();
    ASSERT_EQ(bytes.substr(0, existing.size()), existing) << "appended, nothing rewritten";
    std::vector<std::string> lines = lines_of(bytes);
    ASSERT_EQ(lines.size(), 3u) << "no header before a row of a numbered file";
    EXPECT_EQ(column(lines[2], 0), "00000013");
}

TEST_F(KestrowOpening, FileWithOnlyAHeaderGetsASecondOne) {
    kestrow_test::write_file(log_path(), header());
    point_log_dir_at_scratch();
    EXPECT_EQ(call(T), (Events{{EventType::information, opened(0)}}));
    std::vector<std::string> lines = lines_of(contents());
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[0], lines[1]);
    EXPECT_EQ(column(lines[5], 0), "00000001");
}

TEST_F(KestrowOpening, ConfigurationIsNotReadOnceTheLogIsOpen) {
    point_log_dir_at_scratch();
    call(T);
    registry.remove_key();
    EXPECT_TRUE(call(T + 1).empty());
    EXPECT_EQ(column(lines_of(contents()).back(), 0), "00000002");
}

TEST_F(KestrowOpening, CorrectedValueTakesEffectAtTheNextAttempt) {
    registry.set_log_dir(string_value(logs.file("absent")));
    call(T);
    point_log_dir_at_scratch();
    EXPECT_EQ(call(T + 1), (Events{{EventType::information, opened(0)}}));
    EXPECT_EQ(column(lines_of(contents()).back(), 0), "00000001");
}

TEST_F(KestrowOpening, LogPathIsNotCutAt255Characters) {
    // Nested to 250 characters, within the 253 that the value can hold.
    const size_t kDirectoryLength = 250;
    std::string directory = logs.path();
    ASSERT_LT(directory.size(), kDirectoryLength - 2);
    while (directory.size() < kDirectoryLength) {
        size_t segment = std::min<size_t>(30, kDirectoryLength - directory.size() - 1);
        directory += kSeparator + std::string(segment, 'd');
        ASSERT_TRUE(kestrow_test::make_directory(directory));
    }
    registry.set_log_dir(string_value(directory));
    std::string path = directory + kSeparator + "kestrow.txt";
    ASSERT_GT(path.size(), 255u);

    Events events = call(T);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(state.log_path, path);
    if (state.log_stream != nullptr) {
        EXPECT_EQ(events[0].second, "The file ' " + path + " ' was opened, last id was 0.");
        EXPECT_EQ(column(lines_of(read_file(path)).back(), 0), "00000001");
    } else {
        // Where the system refuses such a name, the open fails like any other.
        EXPECT_EQ(events[0].first, EventType::warning);
        EXPECT_EQ(events[0].second.rfind("Could not open file ' " + path + " '. The error was: ", 0), 0u)
            << events[0].second;
    }
}

TEST_F(KestrowOpening, IdentifierAfterTheLargestOne) {
    kestrow_test::write_file(log_path(), line("4294967295\tlast"));
    point_log_dir_at_scratch();
    EXPECT_EQ(call(T), (Events{{EventType::information, opened(4294967295ul)}}));
    EXPECT_EQ(column(lines_of(contents()).back(), 0), "00000000");
    call(T + 1);
    std::vector<std::string> lines = lines_of(contents());
    ASSERT_EQ(lines.size(), 7u) << "a header again before row 00000001";
    EXPECT_EQ(lines[2], "# kestrow.dll generated file");
    EXPECT_EQ(column(lines[6], 0), "00000001");
}

class KestrowPurge : public KestrowOpening {
protected:
    void SetUp() override {
        point_log_dir_at_scratch();
        call(T, "first");
        call(T, "second");
    }
    std::string purged() const { return "The file ' " + log_path() + " ' was purged, new id is 0."; }
    std::string not_purged() const { return "The file ' " + log_path() + " ' could not be purged."; }

    void expect_only_header_and_first_row(const std::string &text) {
        std::vector<std::string> lines = lines_of(contents());
        ASSERT_EQ(lines.size(), 5u);
        EXPECT_EQ(lines[0], "# kestrow.dll generated file");
        EXPECT_EQ(column(lines[4], 0), "00000001");
        EXPECT_EQ(column(lines[4], 9), text);
    }
};

TEST_F(KestrowPurge, PhraseInCapitalsEmptiesTheFile) {
    EXPECT_EQ(call(T + 1, "KESTROW START PURGING FILE"), (Events{{EventType::information, purged()}}));
    expect_only_header_and_first_row("KESTROW START PURGING FILE");
}

TEST_F(KestrowPurge, PhraseWithATrailingSpaceIsAnOrdinaryRow) {
    EXPECT_TRUE(call(T + 1, "Kestrow start purging file ").empty());
    std::vector<std::string> lines = lines_of(contents());
    ASSERT_EQ(lines.size(), 7u);
    EXPECT_EQ(column(lines[6], 0), "00000003");
}

TEST_F(KestrowPurge, TwoPurgesInARow) {
    call(T + 1, "Kestrow start purging file");
    expect_only_header_and_first_row("Kestrow start purging file");
    EXPECT_EQ(call(T + 2, "Kestrow start purging file"), (Events{{EventType::information, purged()}}));
    expect_only_header_and_first_row("Kestrow start purging file");
    call(T + 3, "after");
    EXPECT_EQ(column(lines_of(contents()).back(), 0), "00000002");
}

TEST_F(KestrowPurge, FailedTruncationKeepsRowsAndNumbering) {
    int writable = state.log_descriptor;
    state.log_descriptor = kestrow_test::open_read_only(log_path());
    ASSERT_GE(state.log_descriptor, 0);
    Events events = call(T + 1, "Kestrow start purging file");
    kestrow_test::close_descriptor(state.log_descriptor);
    state.log_descriptor = writable;

    EXPECT_EQ(events, warning(not_purged()));
    std::vector<std::string> lines = lines_of(contents());
    ASSERT_EQ(lines.size(), 7u) << "rows kept, no second header";
    EXPECT_EQ(column(lines[6], 0), "00000003");
}

TEST_F(KestrowPurge, FailedStatusKeepsRowsAndNumbering) {
    int writable = state.log_descriptor;
    state.log_descriptor = -1;
    Events events = call(T + 1, "Kestrow start purging file");
    state.log_descriptor = writable;
    EXPECT_EQ(events, warning(not_purged()));
    EXPECT_EQ(state.last_identifier, 3u);
}

TEST_F(KestrowOpening, PurgeOfANewEmptyFile) {
    point_log_dir_at_scratch();
    Events expected = {{EventType::information, opened(0)},
                       {EventType::information, "The file ' " + log_path() + " ' was purged, new id is 0."}};
    EXPECT_EQ(call(T, "Kestrow start purging file"), expected);
    std::vector<std::string> lines = lines_of(contents());
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(column(lines[4], 0), "00000001");
}

TEST(KestrowRetryScheduler, GrowsWithElapsedTimeAndFailuresWithoutOverflow) {
    struct Case {
        int32_t first_call_time;
        int32_t failure_count;
        int32_t call_time;
        int32_t count_after;
        int32_t retry_at_after;
    };
    const Case cases[] = {
        {T, 0, T, 1, T},
        {T, 1, T + 10, 2, T + 20},
        {T, 2, T + 21, 3, T + 63},
        // 32-bit arithmetic would wrap these negative and stop the back-off.
        {T, 5, T + 100000000, 6, INT32_MAX},
        {1, 40000, 60000, 40001, INT32_MAX},
        {T, INT32_MAX, T + 1, INT32_MAX, INT32_MAX},
        // A clock set back moves the time into the past, never past the range.
        {T, 3, -T, 4, INT32_MIN},
    };
    for (const Case &c : cases) {
        kestrow::KestrowState state;
        state.first_call_time = c.first_call_time;
        state.failure_count = c.failure_count;
        kestrow::schedule_retry(state, c.call_time);
        EXPECT_EQ(state.failure_count, c.count_after);
        EXPECT_EQ(state.retry_at_time, c.retry_at_after);
    }
}

}  // namespace
