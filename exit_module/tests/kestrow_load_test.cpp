// The built module as its host sees it: loaded from its file, its eight
// entry points found by name, OrlEvt_ExitActionPre called with real records.
#include <gtest/gtest.h>
#include <string.h>

#include <string>
#include <vector>

#include "exit_module/OrlEvtExit.h"
#include "exit_module/tests/test_support.h"

namespace {

const char *const kExitsWithoutWork[] = {
    "OrlEvt_ExitActionPost",  "OrlEvt_ExitLogPre",     "OrlEvt_ExitLogPost",    "OrlEvt_ExitMessagePre",
    "OrlEvt_ExitMessagePost", "OrlEvt_ExitSystemInit", "OrlEvt_ExitSystemTerm",
};

// Fixed layout of the records as the host fills them.
OrlEvtMessage message_with_text(const char *text) {
    OrlEvtMessage message;
    memset(&message, 0, sizeof message);
    message.evtm_time = 1234567890;
    message.evtm_text = text;
    message.evtm_node = "node1";
    memcpy(message.evtm_severity, "WRN", 4);
    return message;
}

OrlEvtAction console_action() {
    OrlEvtAction action;
    memset(&action, 0, sizeof action);
    action.evtact_seqno = 7;
    strcpy(action.evtact_keyword, "console");
    action.evtact_quiet = action.evtact_audit = action.evtact_simul = 'N';
    action.evtact_status = 'A';
    action.evtact_cond_op = '=';
    return action;
}

std::vector<std::string> rows_of(const std::string &contents) {
    std::vector<std::string> rows;
    for (const std::string &line : kestrow_test::split(contents, '\n')) {
        if (!line.empty() && line[0] != '#')
            rows.push_back(line);
    }
    return rows;
}

TEST(KestrowLoad, ExportsWorkThroughTheLoadedModule) {
    kestrow_test::ScratchRegistry registry;
    kestrow_test::TempDir logs;
    registry.set_log_dir(logs.path() + std::string(1, '\0'));
    const std::string log_path = logs.path() + kestrow_test::kSeparator + "kestrow.txt";

    void *module = kestrow_test::load_module_beside_executable(KESTROW_MODULE_FILE);
    ASSERT_NE(module, nullptr) << KESTROW_MODULE_FILE;

    for (const char *name : kExitsWithoutWork) {
        auto exit = reinterpret_cast<OrlEvtExitWithoutWorkFunction>(kestrow_test::find_export(module, name));
        ASSERT_NE(exit, nullptr) << name;
        EXPECT_EQ(exit(), 0) << name;
    }
    EXPECT_FALSE(kestrow_test::file_exists(log_path)) << "no exit but the action exit opens the log";

    auto action_pre = reinterpret_cast<OrlEvtExitActionPreFunction>(
        kestrow_test::find_export(module, "OrlEvt_ExitActionPre"));
    ASSERT_NE(action_pre, nullptr);
    OrlEvtAction action = console_action();
    OrlEvtMessage first = message_with_text("disk\tfull");
    EXPECT_EQ(action_pre(&first, &action), 0);

    auto system_term =
        reinterpret_cast<OrlEvtExitWithoutWorkFunction>(kestrow_test::find_export(module, "OrlEvt_ExitSystemTerm"));
    EXPECT_EQ(system_term(), 0);
    OrlEvtMessage second = message_with_text("after termination");
    EXPECT_EQ(action_pre(&second, &action), 0);

    std::string contents = kestrow_test::read_file(log_path);
    ASSERT_EQ(contents.substr(0, 28), "# kestrow.dll generated file");
    std::vector<std::string> rows = rows_of(contents);
    ASSERT_EQ(rows.size(), 2u);
    const std::string first_columns = "00000001\t1234567890\t0\t0\t0\t0\t0\t0\t";
    EXPECT_EQ(rows[0].substr(0, first_columns.size()), first_columns);
    EXPECT_NE(rows[0].find("\tWRN\tdisk full\tnode1\t"), std::string::npos);
    EXPECT_NE(rows[0].find("\tconsole\t\tN\tN\tN\tA\t="), std::string::npos);
    EXPECT_EQ(rows[1].substr(0, 9), "00000002\t");
    // Lines end as the platform's text mode stores them.
    EXPECT_EQ(contents.substr(contents.size() - strlen(kestrow_test::kLineEnd)), kestrow_test::kLineEnd);
    EXPECT_EQ(rows[1].back() == '\r', strcmp(kestrow_test::kLineEnd, "\r\n") == 0);
    // The module stays loaded: it holds its log open for the life of the process.
}

}  // namespace
