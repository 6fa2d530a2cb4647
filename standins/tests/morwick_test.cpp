// The client library stand-in against the event manager stand-in's own
// serving loop on loopback, and against peers that misbehave.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <string.h>

#include <atomic>
#include <climits>
#include <string>

#include "platform/clock.h"
#include "platform/thread.h"
#include "standins/evtmgr.h"
#include "standins/morwick.h"
#include "standins/net.h"
#include "standins/wire.h"

using namespace standins;

namespace {

void set_port_setting(const std::string &value) {
#ifdef _WIN32
    _putenv(("MORWICK_PORT=" + value).c_str());
#else
    setenv("MORWICK_PORT", value.c_str(), 1);
#endif
}

void clear_port_setting() {
#ifdef _WIN32
    _putenv("MORWICK_PORT=");
#else
    unsetenv("MORWICK_PORT");
#endif
}

void wait_for_thread(platform::ThreadHandle thread) {
    while (platform::thread_exit_code(thread) == platform::kStillActive)
        platform::pause_ms(5);
    platform::thread_release(thread);
}

const int32_t kReceiveTime = 1700000000;
int32_t fixed_clock() { return kReceiveTime; }

// Lines written by the serving thread; read once `count` says they are there.
struct CapturedLines {
    static const int kCapacity = 16;
    std::string lines[kCapacity];
    std::atomic<int> count{0};
};

void capture_line(void *context, const char *data, size_t size) {
    CapturedLines *captured = static_cast<CapturedLines *>(context);
    int used = captured->count.load();
    if (used == CapturedLines::kCapacity)
        return;
    captured->lines[used].assign(data, size);
    captured->count.store(used + 1);
}

OrlEvtMessage blank_message() {
    OrlEvtMessage message;
    memset(&message, 0, sizeof message);
    return message;
}

class OnLoopback : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(net_startup()); }

    void TearDown() override {
        stop_event_manager();
        clear_port_setting();
        net_cleanup();
    }

    // Runs the event manager stand-in's serving loop on a thread and points
    // MORWICK_PORT at it.
    void start_event_manager(const EvtmgrOptions &options) {
        manager_.options = options;
        std::string error;
        ASSERT_TRUE(evtmgr_load_exits(&manager_, &error)) << error;
        uint16_t port = 0;
        ASSERT_TRUE(net_listen_loopback(0, &manager_.listener, &port));
        manager_.output = capture_line;
        manager_.output_context = &captured_;
        manager_.clock = fixed_clock;
        set_port_setting(std::to_string(port));
        ASSERT_TRUE(platform::thread_start(serve_until_stopped, this, &server_));
        serving_ = true;
    }

    // Ends the loop and closes every connection, answered or not.
    void stop_event_manager() {
        if (!serving_)
            return;
        stopping_.store(true);
        wait_for_thread(server_);
        evtmgr_close(&manager_);
        serving_ = false;
    }

    bool wait_for_lines(int count) {
        for (int waited = 0; waited < 10000; waited += 5) {
            if (captured_.count.load() >= count)
                return true;
            platform::pause_ms(5);
        }
        return false;
    }

    static void serve_until_stopped(void *raw) {
        OnLoopback *self = static_cast<OnLoopback *>(raw);
        while (!self->stopping_.load())
            evtmgr_serve(&self->manager_, 20);
    }

    EventManager manager_;
    CapturedLines captured_;
    std::atomic<bool> stopping_{false};
    platform::ThreadHandle server_;
    bool serving_ = false;
};

TEST_F(OnLoopback, EveryFieldArrivesAndTheAnswerComesBack) {
    struct Case {
        const char *node;
        int32_t answer;
    };
    const Case cases[] = {{"127.0.0.1", 0}, {"localhost", 7}, {"localhost", INT_MIN}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.node + std::string(" answering ") + std::to_string(c.answer));
        EvtmgrOptions options;
        options.reply_code = c.answer;
        start_event_manager(options);
        captured_.count.store(0);

        OrlEvtMessage message = blank_message();
        message.evtm_time = -5;
        message.evtm_msgnum = INT_MIN;
        message.evtm_color = INT_MAX;
        message.evtm_attrib = 3;
        message.evtm_token = 4;
        message.evtm_flags = 5;
        message.evtm_type = 6;
        memcpy(message.evtm_severity, "ERR", 4);
        message.evtm_text = "a\tb\\c\nd\re\x01\x7f\xff";
        message.evtm_user = "";  // empty, not absent
        message.evtm_category = "plain words";
        message.evtm_tag = "last";
        EXPECT_EQ(c.answer, OrlEvt_wto(c.node, &message));

        ASSERT_TRUE(wait_for_lines(1));
        EXPECT_EQ(std::string("message\t") + c.node +
                      "\t-5\t-2147483648\t2147483647\t3\t4\t5\t6\tERR\t"
                      "a\\tb\\\\c\\nd\\re\\x01\\x7F\\xFF\t(absent)\t\tplain words\t(absent)\t(absent)\t(absent)\t"
                      "(absent)\t(absent)\t(absent)\t(absent)\tlast\n",
                  captured_.lines[0]);
        stop_event_manager();
        stopping_.store(false);
    }
}

struct PendingSend {
    OrlEvtMessage message;
    std::atomic<int> result{1};
    platform::ThreadHandle thread;
};

void send_and_wait(void *raw) {
    PendingSend *send = static_cast<PendingSend *>(raw);
    send->result.store(OrlEvt_wto("127.0.0.1", &send->message));
}

TEST_F(OnLoopback, AnUnansweredMessageDoesNotHoldUpLaterOnes) {
    EvtmgrOptions options;
    options.reply_mode = ReplyMode::never;
    start_event_manager(options);
    PendingSend first, second;
    first.message = blank_message();
    first.message.evtm_text = "first";
    second.message = blank_message();
    second.message.evtm_text = "second";

    ASSERT_TRUE(platform::thread_start(send_and_wait, &first, &first.thread));
    ASSERT_TRUE(wait_for_lines(1));
    ASSERT_TRUE(platform::thread_start(send_and_wait, &second, &second.thread));
    ASSERT_TRUE(wait_for_lines(2));
    EXPECT_NE(std::string::npos, captured_.lines[0].find("\tfirst\t"));
    EXPECT_NE(std::string::npos, captured_.lines[1].find("\tsecond\t"));
    platform::pause_ms(50);
    EXPECT_EQ(platform::kStillActive, platform::thread_exit_code(first.thread)) << "never answered, still waiting";

    // Once the event manager goes away, both waiting calls end.
    stop_event_manager();
    wait_for_thread(first.thread);
    wait_for_thread(second.thread);
    EXPECT_EQ(MORWICK_E_DROPPED, first.result.load());
    EXPECT_EQ(MORWICK_E_DROPPED, second.result.load());
}

typedef const char *(*SummaryFunction)();

TEST_F(OnLoopback, EachMessageGoesThroughTheExitModuleWithItsActionRecord) {
    EvtmgrOptions options;
    options.exits.push_back(STANDINS_RECORDING_EXIT);
    start_event_manager(options);
    OrlEvtMessage message = blank_message();
    message.evtm_text = "one";
    ASSERT_EQ(0, OrlEvt_wto("127.0.0.1", &message));
    message.evtm_text = "two";
    message.evtm_user = "operator";
    ASSERT_EQ(0, OrlEvt_wto("localhost", &message));
    ASSERT_TRUE(wait_for_lines(2));

    SummaryFunction summary =
        reinterpret_cast<SummaryFunction>(dynload_symbol(manager_.exits[0].library, "recording_exit_summary"));
    ASSERT_NE(nullptr, summary);
    EXPECT_STREQ("init=1 calls=2 text=two user=operator seqno=2 token=1 cr_ti=1700000000 up_ti=1700000000 "
                 "node=localhost user=evtmgr cr_id=evtmgr up_id=(absent) cond_rc=0 color=2 attrib=4 flags=16 "
                 "keyword=DISPLAY severity=INF quiet=N audit=Y simul=N status=A cond_op== short_text=OK "
                 "dest_node=localhost station=(absent) text=show on console category=(absent) source=evtmgr "
                 "runid=(absent) runpw=(absent)",
                 summary());
}

TEST(EvtmgrExitModules, AModuleWithoutTheExitExportsIsRefused) {
    ExitModule module;
    std::string error;
    EXPECT_FALSE(load_exit_module(STANDINS_MORWICK_LIBRARY, &module, &error));
    EXPECT_NE(std::string::npos, error.find("does not export OrlEvt_ExitActionPre")) << error;
}

TEST_F(OnLoopback, NoListenerGivesRefused) {
    Socket probe;
    uint16_t port = 0;
    ASSERT_TRUE(net_listen_loopback(0, &probe, &port));
    net_close(&probe);
    set_port_setting(std::to_string(port));
    OrlEvtMessage message = blank_message();
    EXPECT_EQ(MORWICK_E_REFUSED, OrlEvt_wto("127.0.0.1", &message));
}

TEST_F(OnLoopback, BadPortSettingIsRefusedBeforeConnecting) {
    const char *settings[] = {"abc", "0", "65536", "12x", "-1", " 80", "99999999999999999999"};
    OrlEvtMessage message = blank_message();
    for (const char *setting : settings) {
        set_port_setting(setting);
        EXPECT_EQ(MORWICK_E_BAD_PORT, OrlEvt_wto("127.0.0.1", &message)) << '"' << setting << '"';
    }
}

// A peer that takes the whole message, sends `answer_bytes` of its answer
// and hangs up.
struct DroppingPeer {
    Socket listener;
    size_t answer_bytes = 0;
};

void take_message_and_hang_up(void *raw) {
    DroppingPeer *peer = static_cast<DroppingPeer *>(raw);
    Socket connection;
    if (!net_accept(peer->listener, &connection))
        return;
    std::string received;
    char chunk[4096];
    WireMessage message;
    size_t frame_size = 0;
    while (wire_decode(received.data(), received.size(), &message, &frame_size) == DecodeStatus::incomplete) {
        long got = net_receive(connection, chunk, sizeof chunk);
        if (got <= 0)
            break;
        received.append(chunk, static_cast<size_t>(got));
    }
    const unsigned char partial_answer[kAnswerSize] = {0, 0, 0, 0};
    if (peer->answer_bytes > 0)
        net_send_all(connection, partial_answer, peer->answer_bytes);
    net_close(&connection);
}

TEST_F(OnLoopback, ConnectionDroppedBeforeTheWholeAnswerGivesDropped) {
    for (size_t answer_bytes : {size_t(0), size_t(3)}) {
        SCOPED_TRACE(answer_bytes);
        DroppingPeer peer;
        peer.answer_bytes = answer_bytes;
        uint16_t port = 0;
        ASSERT_TRUE(net_listen_loopback(0, &peer.listener, &port));
        set_port_setting(std::to_string(port));
        platform::ThreadHandle thread;
        ASSERT_TRUE(platform::thread_start(take_message_and_hang_up, &peer, &thread));
        OrlEvtMessage message = blank_message();
        message.evtm_text = "dropped";
        EXPECT_EQ(MORWICK_E_DROPPED, OrlEvt_wto("127.0.0.1", &message));
        wait_for_thread(thread);
        net_close(&peer.listener);
    }
}

}  // namespace
