// Black-box runs of the real programs: brisko -> morwick -> event manager
// stand-in (-> kestrow), all on loopback.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <regex>
#include <string>
#include <vector>

#include "tests/blackbox/road_fixture.h"

namespace {

using namespace road;

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
    // The notice comes first; until the replacement has taken over, moments
    // later, the old worker may still read. Well before the next restart:
    testsupport::sleep_seconds(0.5);
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
