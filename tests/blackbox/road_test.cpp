// Black-box runs of the real programs: brisko -> morwick -> event manager
// stand-in (-> kestrow), all on loopback.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <regex>
#include <string>
#include <vector>

#include "tests/support/process.h"

using testsupport::ChildProcess;

namespace {

#ifdef _WIN32
const char kEndKeys[] = "Ctrl-Z and newline";
const double kExitSlackSeconds = 1.5;  // process start and end under Wine
#else
const char kEndKeys[] = "Ctrl-D";
const double kExitSlackSeconds = 0.6;
#endif

std::string expected_banner() {
    return std::string(
               "Welcome to Brisko.exe (Threading version).\n"
               "Brisko.exe is intended to be a powerful Orvane Velmora console logging tool.\n"
               "Please supply the information to be transferred over STDIN.\n"
               "Example:\n"
               "computer\tlocalhost\n"
               "evtm_text\tHello world from Brisko.exe!\n"
               "evtm_node\tnode1.example.com\n"
               "\n"
               "Use tab to split field name from data.\n"
               "Use newline to end line.\n"
               "Use newline again to finally send this data to Velmora.\n"
               "You may start now by entering the data of the above example.\n"
               "\n"
               "Supported field names (see Velmora SDK Reference Guide):\n"
               "evtm_time evtm_msgnum evtm_color evtm_attrib evtm_token evtm_flags evtm_type\n"
               "evtm_severity evtm_text evtm_node evtm_user evtm_category evtm_source\n"
               "evtm_station evtm_workload evtm_pinfo evtm_bindata evtm_device evtm_udata\n"
               "evtm_tag\n"
               "Please note: Not all writeable fields are accepted by Velmora (i.e. evtm_time).\n"
               "End interactive session with ") +
           kEndKeys + ".\n" + "Brisko.exe was written by the Brisko team.\n\n";
}

const std::string kExample = "computer\tlocalhost\nevtm_text\tHello world from Brisko.exe!\nevtm_node\tnode1.example.com\n";
const std::string kTenAbsent = "\t(absent)\t(absent)\t(absent)\t(absent)\t(absent)\t(absent)\t(absent)\t(absent)"
                               "\t(absent)\t(absent)";

// Text files written by Windows programs end their lines in CR LF.
std::string without_cr(std::string text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n'))
            out += text[i];
    }
    return out;
}

std::vector<std::string> split_lines(const std::string &text) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(text.substr(start, end - start));
    return lines;
}

class Road : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = testsupport::make_temp_dir();
        ASSERT_FALSE(dir_.empty());
    }

    std::string path(const std::string &name) const { return dir_ + "/" + name; }

    // Starts the event manager stand-in on an ephemeral loopback port and
    // points the client library at it.
    void start_event_manager(std::vector<std::string> options = {}) {
        std::vector<std::string> argv = {EVTMGR_PATH, "--port", "0"};
        argv.insert(argv.end(), options.begin(), options.end());
        ASSERT_TRUE(event_manager_.start(argv, path("evtmgr.out"), path("evtmgr.err")));
        const std::regex ready("^listening on port ([0-9]+)\r?\n");
        std::smatch match;
        for (double deadline = testsupport::seconds_now() + 20; testsupport::seconds_now() < deadline;) {
            std::string out = testsupport::read_file(path("evtmgr.out"));
            if (std::regex_search(out, match, ready)) {
                port_ = match[1];
                testsupport::set_env("MORWICK_PORT", port_);
                return;
            }
            testsupport::sleep_seconds(0.02);
        }
        FAIL() << "the event manager stand-in did not get ready: " << testsupport::read_file(path("evtmgr.err"));
    }

    void start_brisko(std::vector<std::string> wrapper = {}) {
        wrapper.push_back(BRISKO_PATH);
        ASSERT_TRUE(brisko_.start(wrapper, path("brisko.out"), path("brisko.err")));
        started_at_ = testsupport::seconds_now();
    }

    std::vector<std::string> received() const {
        std::vector<std::string> messages;
        for (const std::string &line : split_lines(without_cr(testsupport::read_file(path("evtmgr.out"))))) {
            if (line.rfind("message\t", 0) == 0)
                messages.push_back(line);
        }
        return messages;
    }

    bool wait_until(const std::function<bool()> &done, double seconds) const {
        for (double deadline = testsupport::seconds_now() + seconds; testsupport::seconds_now() < deadline;) {
            if (done())
                return true;
            testsupport::sleep_seconds(0.02);
        }
        return done();
    }

    bool wait_for_messages(size_t count, double seconds = 20) const {
        return wait_until([&] { return received().size() >= count; }, seconds);
    }

    std::string brisko_stderr() const { return without_cr(testsupport::read_file(path("brisko.err"))); }
    std::string brisko_stdout() const { return testsupport::read_file(path("brisko.out")); }

    // Closes standard input; the program must end with status 0 one to two
    // poll periods later.
    void expect_clean_end_after_input_closes() {
        brisko_.close_input();
        double closed_at = testsupport::seconds_now();
        int status = brisko_.wait(20);
        double elapsed = testsupport::seconds_now() - closed_at;
        EXPECT_EQ(status, 0);
        EXPECT_LE(elapsed, 2.0 + kExitSlackSeconds);
    }

    std::string dir_;
    std::string port_;
    ChildProcess event_manager_;
    ChildProcess brisko_;
    double started_at_ = 0;
};

std::string message_line(const std::string &node, const std::string &integers, const std::string &severity,
                         const std::string &texts) {
    return "message\t" + node + "\t" + integers + "\t" + severity + "\t" + texts;
}

TEST_F(Road, TheBannerExampleAndFurtherMessagesArrive) {
    start_event_manager();
    start_brisko();
    ASSERT_TRUE(brisko_.write_input(kExample + "\n" +
                                    "evtm_text\tsecond\tpart \nevtm_msgnum\t42\nevtm_severity\tWARN\n\n" + "\n"));
    ASSERT_TRUE(wait_for_messages(3));
    expect_clean_end_after_input_closes();

    const std::vector<std::string> expected = {
        message_line("localhost", "0\t0\t0\t0\t0\t0\t0", "",
                     "Hello world from Brisko.exe!\tnode1.example.com" + kTenAbsent),
        message_line("localhost", "0\t42\t0\t0\t0\t0\t0", "WAR", "second\\tpart \t(absent)" + kTenAbsent),
        message_line("localhost", "0\t0\t0\t0\t0\t0\t0", "", "<empty>\t(absent)" + kTenAbsent),
    };
    EXPECT_EQ(received(), expected);
    EXPECT_EQ(brisko_stderr(), expected_banner()) << "the banner once, and no diagnostic";
    EXPECT_EQ(brisko_stdout(), "");
}

TEST_F(Road, EmptyInputEndsWithStatusZeroOneToTwoSecondsAfterStart) {
    start_event_manager();
    start_brisko();
    brisko_.close_input();
    int status = brisko_.wait(20);
    double elapsed = testsupport::seconds_now() - started_at_;
    EXPECT_EQ(status, 0);
    EXPECT_GE(elapsed, 0.9);
    EXPECT_LE(elapsed, 2.0 + kExitSlackSeconds);
    EXPECT_EQ(brisko_stderr(), expected_banner());
    EXPECT_TRUE(received().empty());
}

TEST_F(Road, AnErrorAnswerIsReportedAndTheRunGoesOn) {
    start_event_manager({"--reply", "7"});
    start_brisko();
    ASSERT_TRUE(brisko_.write_input("evtm_text\tone\n\nevtm_text\ttwo\r\n\r\n"));
    ASSERT_TRUE(wait_for_messages(2));
    expect_clean_end_after_input_closes();
    const std::string error = "Error writing to Velmora on host localhost, error 7 .\n";
    EXPECT_EQ(brisko_stderr(), expected_banner() + error + error);
    ASSERT_EQ(received().size(), 2u);
    EXPECT_EQ(received()[1], message_line("localhost", "0\t0\t0\t0\t0\t0\t0", "", "two\t(absent)" + kTenAbsent));
}

TEST_F(Road, ANodeWithoutListenerGivesAnErrorLine) {
    start_event_manager();
    event_manager_.kill();  // its port now has no listener
    start_brisko();
    ASSERT_TRUE(brisko_.write_input("computer\t127.0.0.1\nevtm_text\tx\n\n"));
    expect_clean_end_after_input_closes();
    std::string diagnostics = brisko_stderr().substr(expected_banner().size());
    EXPECT_TRUE(std::regex_match(diagnostics, std::regex("Error writing to Velmora on host 127\\.0\\.0\\.1, error "
                                                         "-?[1-9][0-9]* \\.\n")))
        << diagnostics;
}

#ifndef _WIN32
// An accelerated clock: 300 seconds pass in 3.
const std::vector<std::string> kFastClock = {"faketime", "-f", "+0 x100"};

bool faketime_available() {
    return system("command -v faketime >/dev/null 2>&1") == 0;
}

TEST_F(Road, AHungSendIsReplacedAndTheReplacementReadsOn) {
    ASSERT_TRUE(faketime_available()) << "faketime is needed (package faketime)";
    start_event_manager({"--never-reply"});
    start_brisko(kFastClock);
    // The first message hangs in the send; the second waits in the input.
    ASSERT_TRUE(brisko_.write_input("evtm_text\tfirst\n\nevtm_text\tsecond\n\n"));
    ASSERT_TRUE(wait_for_messages(1));
    ASSERT_TRUE(wait_for_messages(2, 30)) << "the replacement did not send the waiting message";
    const std::string notice = "Restarting processing thread.\n\n";
    EXPECT_EQ(brisko_stderr().substr(0, expected_banner().size() + notice.size()), expected_banner() + notice);
    std::vector<std::string> messages = received();
    EXPECT_EQ(messages[0], message_line("localhost", "0\t0\t0\t0\t0\t0\t0", "", "first\t(absent)" + kTenAbsent));
    EXPECT_EQ(messages[1], message_line("localhost", "0\t0\t0\t0\t0\t0\t0", "", "second\t(absent)" + kTenAbsent));
    // The replacement hangs in its own send now: the input's end is seen
    // only by the worker after the next restart.
    brisko_.close_input();
    EXPECT_EQ(brisko_.wait(30), 0);
    EXPECT_EQ(received().size(), 2u) << "no message is sent twice";
    EXPECT_EQ(brisko_stderr(), expected_banner() + notice + notice);
}

TEST_F(Road, AnIdleReaderIsReplacedAndItsHalfMessageIsLost) {
    ASSERT_TRUE(faketime_available()) << "faketime is needed (package faketime)";
    start_event_manager();
    start_brisko(kFastClock);
    ASSERT_TRUE(brisko_.write_input("evtm_text\tsent\n\nevtm_text\tlost\n"));
    ASSERT_TRUE(wait_for_messages(1));
    const std::string notice = "Restarting processing thread.\n\n";
    ASSERT_TRUE(wait_until([&] { return brisko_stderr().size() >= expected_banner().size() + notice.size(); }, 30));
    ASSERT_TRUE(brisko_.write_input("evtm_user\tafter\n\n"));
    ASSERT_TRUE(wait_for_messages(2));
    expect_clean_end_after_input_closes();
    std::vector<std::string> messages = received();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[1], message_line("localhost", "0\t0\t0\t0\t0\t0\t0", "", "<empty>\t(absent)\tafter" +
                                                                                  kTenAbsent.substr(9)));
    std::string after_banner = brisko_stderr().substr(expected_banner().size());
    EXPECT_EQ(after_banner.find("Welcome"), std::string::npos) << "no second banner";
    EXPECT_EQ(after_banner.substr(0, notice.size()), notice);
}
#endif

}  // namespace
