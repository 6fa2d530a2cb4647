#include "submitter/supervisor.h"

#include <gtest/gtest.h>

#include <stdint.h>

#include <functional>
#include <string>
#include <vector>

namespace {

// A scripted world: the clock moves only when the supervisor pauses, and
// every call is written into a journal.
class FakeSystem : public SupervisorSystem {
public:
    int32_t clock = 1000000;
    int32_t activity = 0;
    unsigned refuse_start_of = 0;  // generation whose start fails
    bool refuse_stop = false;
    // Decides, per poll, the exit code of a worker generation.
    std::function<uint32_t(unsigned generation, int32_t now)> code_of = [](unsigned, int32_t) {
        return platform::kStillActive;
    };
    unsigned polls = 0;
    unsigned max_polls = 10000;
    std::vector<std::string> journal;
    std::string out, err;
    std::vector<std::pair<EventType, std::string>> events;

    bool start_worker(unsigned generation, platform::ThreadHandle *thread) override {
        journal.push_back("start " + std::to_string(generation));
        if (generation == refuse_start_of)
            return false;
        thread->system = reinterpret_cast<void *>(static_cast<uintptr_t>(generation));
        return true;
    }
    uint32_t exit_code(platform::ThreadHandle thread) override {
        if (++polls > max_polls)
            ADD_FAILURE() << "the supervisor never ended";
        unsigned generation = static_cast<unsigned>(reinterpret_cast<uintptr_t>(thread.system));
        return polls > max_polls ? 0 : code_of(generation, clock);
    }
    bool stop_worker(platform::ThreadHandle thread, std::string *error_text) override {
        journal.push_back("stop " + std::to_string(reinterpret_cast<uintptr_t>(thread.system)));
        if (refuse_stop)
            *error_text = "Access is denied.\r\n";
        return !refuse_stop;
    }
    void release_worker(platform::ThreadHandle thread) override {
        journal.push_back("release " + std::to_string(reinterpret_cast<uintptr_t>(thread.system)));
    }
    void pass_input(unsigned generation) override { journal.push_back("pass " + std::to_string(generation)); }
    int32_t now() override { return clock; }
    void pause(unsigned milliseconds) override {
        EXPECT_EQ(milliseconds, 1000u);
        journal.push_back("pause");
        clock += 1;
    }
    int32_t last_activity() override { return activity; }
    void set_last_activity(int32_t seconds) override {
        journal.push_back("activity " + std::to_string(seconds - 1000000));
        activity = seconds;
    }
    void write_stdout(const std::string &text) override { out += text; }
    void write_stderr(const std::string &text) override { err += text; }
    void report(EventType type, const std::string &text) override { events.push_back({type, text}); }

    size_t count(const std::string &entry) const {
        size_t n = 0;
        for (const std::string &e : journal)
            n += e == entry;
        return n;
    }
};

const std::string kRestartNotice = "Restarting processing thread.\n";

TEST(Supervisor, EndsOnePauseAfterTheWorkerHasEnded) {
    FakeSystem system;
    system.code_of = [](unsigned, int32_t now) { return now >= 1000002 ? 0u : platform::kStillActive; };
    EXPECT_EQ(run_supervisor(system), 0);
    const std::vector<std::string> expected = {"start 1", "activity 0", "pause", "pause", "pause", "release 1"};
    EXPECT_EQ(system.journal, expected);
    EXPECT_EQ(system.out + system.err, "");
    EXPECT_TRUE(system.events.empty());
}

TEST(Supervisor, RestartsOnlyWhenMoreThanThreeHundredSecondsHavePassed) {
    FakeSystem system;
    // The first worker hangs; the second ends at once.
    system.code_of = [](unsigned generation, int32_t) { return generation == 1 ? platform::kStillActive : 0u; };
    EXPECT_EQ(run_supervisor(system), 0);
    // Polls at +0..+300 see no restart; the poll at +301 restarts.
    EXPECT_EQ(system.count("pause"), 303u);
    const std::vector<std::string> restart(system.journal.begin() + 2 + 301, system.journal.end());
    const std::vector<std::string> expected = {"start 2", "stop 1",  "pass 2", "release 1",
                                               "activity 301", "pause", "pause",  "release 2"};
    EXPECT_EQ(restart, expected);
    EXPECT_EQ(system.err, kRestartNotice + "\n");
    ASSERT_EQ(system.events.size(), 1u);
    EXPECT_EQ(system.events[0].first, EventType::information);
    EXPECT_EQ(system.events[0].second, kRestartNotice);
}

TEST(Supervisor, WorkerActivityPostponesTheRestartAndRestartsRepeat) {
    FakeSystem system;
    // Worker 1 sends at +100; every worker then idles; worker 3 ends.
    system.code_of = [&system](unsigned generation, int32_t now) {
        if (generation == 1 && now == 1000100)
            system.activity = now;
        return generation == 3 ? 0u : platform::kStillActive;
    };
    EXPECT_EQ(run_supervisor(system), 0);
    std::vector<std::string> restarts;
    for (const std::string &e : system.journal) {
        if (e.rfind("activity", 0) == 0)
            restarts.push_back(e);
    }
    const std::vector<std::string> expected = {"activity 0", "activity 401", "activity 702"};
    EXPECT_EQ(restarts, expected);
    EXPECT_EQ(system.err, kRestartNotice + "\n" + kRestartNotice + "\n");
}

TEST(Supervisor, FailuresEndTheProcessWithStatusOne) {
    {
        FakeSystem system;
        system.refuse_start_of = 1;
        EXPECT_EQ(run_supervisor(system), 1);
        EXPECT_EQ(system.out, "Could not create thread\n");
        EXPECT_EQ(system.err, "");
        EXPECT_TRUE(system.events.empty());
        EXPECT_EQ(system.journal, std::vector<std::string>{"start 1"});
    }
    {
        FakeSystem system;
        system.refuse_start_of = 2;
        EXPECT_EQ(run_supervisor(system), 1);
        EXPECT_EQ(system.count("stop 1"), 0u) << "the old worker is not stopped when no replacement runs";
        EXPECT_EQ(system.err, kRestartNotice + "\n" + "Replacement thread could not be started\n\n");
        ASSERT_EQ(system.events.size(), 2u);
        EXPECT_EQ(system.events[1].first, EventType::warning);
        EXPECT_EQ(system.events[1].second, "Replacement thread could not be started\n");
        EXPECT_EQ(system.journal.back(), "start 2");
    }
    {
        FakeSystem system;
        system.refuse_stop = true;
        EXPECT_EQ(run_supervisor(system), 1);
        const std::string text = "Error stopping thread, the error is \"Access is denied.\r\n\"\n";
        EXPECT_EQ(system.err, kRestartNotice + "\n" + text + "\n");
        ASSERT_EQ(system.events.size(), 2u);
        EXPECT_EQ(system.events[1].first, EventType::warning);
        EXPECT_EQ(system.events[1].second, text);
        EXPECT_EQ(system.count("pass 2"), 0u);
        EXPECT_EQ(system.count("activity 301"), 0u) << "the activity time is reset only after both steps";
        EXPECT_EQ(system.out, "");
    }
}

}  // namespace
