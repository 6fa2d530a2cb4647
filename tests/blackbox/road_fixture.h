// The fixture of the black-box runs: the real programs in a scratch
// directory, the event manager stand-in on an ephemeral loopback port.
#ifndef TESTS_BLACKBOX_ROAD_FIXTURE_H
#define TESTS_BLACKBOX_ROAD_FIXTURE_H

#include <gtest/gtest.h>

#include <functional>
#include <regex>
#include <string>
#include <vector>

#include "tests/support/process.h"

namespace road {

using testsupport::ChildProcess;

#ifdef _WIN32
const char kEndKeys[] = "Ctrl-Z and newline";
const double kExitSlackSeconds = 1.5;  // process start and end under Wine
#else
const char kEndKeys[] = "Ctrl-D";
const double kExitSlackSeconds = 0.6;
#endif

inline std::string expected_banner() {
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
inline std::string without_cr(std::string text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n'))
            out += text[i];
    }
    return out;
}

inline std::vector<std::string> split_lines(const std::string &text) {
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
        // A fresh file: a line of an earlier run must not be taken for this one's.
        ASSERT_TRUE(testsupport::write_file(path("evtmgr.out"), ""));
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

inline std::string message_line(const std::string &node, const std::string &integers, const std::string &severity,
                         const std::string &texts) {
    return "message\t" + node + "\t" + integers + "\t" + severity + "\t" + texts;
}

}  // namespace road

#endif
