// The built module as its host sees it: loaded from its file, its eight
// entry points found by name, OrlEvt_ExitActionPre called with real records.
#include <gtest/gtest.h>
#include <stdio.h>
#include <string.h>

#include <atomic>
#include <string>
#include <vector>

#include "exit_module/OrlEvtExit.h"
#include "exit_module/tests/test_support.h"
#include "platform/clock.h"
#include "platform/thread.h"

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

// The module, once loaded, holds its log open for the rest of the process;
// its configuration and log directory live as long.
struct LoadedModule {
    LoadedModule() {
        registry.set_log_dir(logs.path() + std::string(1, '\0'));
        log_path = logs.path() + kestrow_test::kSeparator + "kestrow.txt";
        handle = kestrow_test::load_module_beside_executable(KESTROW_MODULE_FILE);
        if (handle != nullptr)
            action_pre = reinterpret_cast<OrlEvtExitActionPreFunction>(
                kestrow_test::find_export(handle, "OrlEvt_ExitActionPre"));
    }
    kestrow_test::ScratchRegistry registry;
    kestrow_test::TempDir logs;
    std::string log_path;
    void *handle = nullptr;
    OrlEvtExitActionPreFunction action_pre = nullptr;
};

LoadedModule &loaded() {
    static LoadedModule module;
    return module;
}

TEST(KestrowLoad, ExportsWorkThroughTheLoadedModule) {
    void *module = loaded().handle;
    const std::string &log_path = loaded().log_path;
    ASSERT_NE(module, nullptr) << KESTROW_MODULE_FILE;

    for (const char *name : kExitsWithoutWork) {
        auto exit = reinterpret_cast<OrlEvtExitWithoutWorkFunction>(kestrow_test::find_export(module, name));
        ASSERT_NE(exit, nullptr) << name;
        EXPECT_EQ(exit(), 0) << name;
    }
    EXPECT_FALSE(kestrow_test::file_exists(log_path)) << "no exit but the action exit opens the log";

    OrlEvtExitActionPreFunction action_pre = loaded().action_pre;
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
}

// A host that breaks the calling contract and calls from several threads
// at once still gets whole rows and unique identifiers.
struct Caller {
    OrlEvtExitActionPreFunction action_pre;
    std::string text;
    int calls;
    std::atomic<int> *waiting;
};

void call_repeatedly(void *raw) {
    Caller *caller = static_cast<Caller *>(raw);
    OrlEvtMessage message = message_with_text(caller->text.c_str());
    OrlEvtAction action = console_action();
    // All callers start together, so that their calls really overlap.
    caller->waiting->fetch_sub(1);
    while (caller->waiting->load() > 0) {
    }
    for (int i = 0; i < caller->calls; ++i)
        caller->action_pre(&message, &action);
}

TEST(KestrowLoad, OverlappingCallsKeepRowsWholeAndIdentifiersUnique) {
    ASSERT_NE(loaded().action_pre, nullptr);
    OrlEvtMessage opening = message_with_text("before the threads");
    OrlEvtAction action = console_action();
    loaded().action_pre(&opening, &action);
    const size_t rows_before = rows_of(kestrow_test::read_file(loaded().log_path)).size();
    ASSERT_GT(rows_before, 0u);

    const int kThreads = 4;
    const int kCalls = 2000;
    std::atomic<int> waiting{kThreads};
    Caller callers[kThreads];
    platform::ThreadHandle threads[kThreads];
    for (int t = 0; t < kThreads; ++t) {
        callers[t] = Caller{loaded().action_pre, "caller " + std::string(40 * (t + 1), 'x'), kCalls, &waiting};
        ASSERT_TRUE(platform::thread_start(call_repeatedly, &callers[t], &threads[t]));
    }
    for (int t = 0; t < kThreads; ++t) {
        while (platform::thread_exit_code(threads[t]) == platform::kStillActive)
            platform::pause_ms(5);
        platform::thread_release(threads[t]);
    }

    std::vector<std::string> rows = rows_of(kestrow_test::read_file(loaded().log_path));
    ASSERT_EQ(rows.size(), rows_before + kThreads * kCalls);
    for (size_t i = rows_before; i < rows.size(); ++i) {
        std::string row = rows[i];
        if (!row.empty() && row.back() == '\r')
            row.pop_back();
        std::vector<std::string> columns = kestrow_test::split(row, '\t');
        ASSERT_EQ(columns.size(), 48u) << row;
        char expected_id[16];
        snprintf(expected_id, sizeof expected_id, "%08u", static_cast<unsigned>(i + 1));
        EXPECT_EQ(columns[0], expected_id);
    }
}

}  // namespace
