// The event manager stand-in: receives message frames on loopback, calls
// the loaded exit modules with each message and an action record of its
// own, shows the message as one line, and answers.
#ifndef STANDINS_EVTMGR_H
#define STANDINS_EVTMGR_H

#include <stddef.h>
#include <stdint.h>

#include <string>
#include <vector>

#include "shared/evt_action.h"
#include "shared/evt_message.h"
#include "standins/dynload.h"
#include "standins/net.h"
#include "standins/wire.h"

// The exit modules' calling convention on 32-bit Windows.
#if defined(_WIN32) && !defined(_WIN64)
#define EVTMGR_EXIT_CALL __cdecl
#else
#define EVTMGR_EXIT_CALL
#endif

namespace standins {

enum class ReplyMode { code, never };

struct EvtmgrOptions {
    uint16_t port = 0;  // 0: ephemeral
    ReplyMode reply_mode = ReplyMode::code;
    int32_t reply_code = 0;
    std::vector<std::string> exits;
};

// evtmgr [--port N] [--reply CODE | --never-reply] [--exit PATH]...
bool parse_evtmgr_options(int argc, const char *const *argv, EvtmgrOptions *options, std::string *error);

// Bytes as shown on the console: backslash, tab, LF and CR as \\ \t \n \r,
// other bytes below 0x20 and bytes 0x7f to 0xff as \xHH.
std::string escape_text(const char *data, size_t size);

// "message", the target node, the seven integers, the severity and the
// twelve texts, tab-separated; an absent text shows as "(absent)".
std::string format_message_line(const WireMessage &message);

// The action record that the stand-in hands to the exit modules for the
// `seqno`-th message, received at `received_at`, sent to `target_node`.
// Its texts are constants or `target_node`.
void fill_action_record(int32_t seqno, int32_t received_at, const char *target_node, OrlEvtAction *action);

typedef int(EVTMGR_EXIT_CALL *ExitActionPreFunction)(const OrlEvtMessage *, const OrlEvtAction *);
typedef int(EVTMGR_EXIT_CALL *ExitWithoutArgumentsFunction)(void);

struct ExitModule {
    std::string path;
    Library library;
    ExitActionPreFunction action_pre = nullptr;
    ExitWithoutArgumentsFunction system_init = nullptr;
};

// Loads the module and finds all eight exit exports by name.
bool load_exit_module(const std::string &path, ExitModule *module, std::string *error);

using TextSink = void (*)(void *context, const char *data, size_t size);
using SecondsClock = int32_t (*)();

struct PeerConnection {
    Socket socket;
    std::string received;
    bool answered_never = false;  // message taken; the connection stays open unanswered
};

struct EventManager {
    EvtmgrOptions options;
    Socket listener;
    std::vector<ExitModule> exits;
    std::vector<PeerConnection> connections;
    int32_t seqno = 0;
    TextSink output = nullptr;  // the message lines
    void *output_context = nullptr;
    TextSink diagnostics = nullptr;
    void *diagnostics_context = nullptr;
    SecondsClock clock = nullptr;
};

// Loads every module of `options.exits`, in order, and calls the
// OrlEvt_ExitSystemInit of each. False, with the reason, at the first module
// that cannot be loaded or lacks an export.
bool evtmgr_load_exits(EventManager *manager, std::string *error);

// Accepts, reads and handles whatever is ready within `timeout_ms` (-1: no
// limit). Messages are handled one at a time, in the order their frames
// complete. False when waiting fails.
bool evtmgr_serve(EventManager *manager, int timeout_ms);

// Closes every peer connection, answered or not, and the listener.
void evtmgr_close(EventManager *manager);

}  // namespace standins

#endif
