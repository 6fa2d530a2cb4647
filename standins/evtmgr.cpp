#include "standins/evtmgr.h"

#include <errno.h>
#include <stdlib.h>
#include <string.h>

#include <memory>

namespace standins {

namespace {

const char *const kExitExports[] = {
    "OrlEvt_ExitActionPre",  "OrlEvt_ExitActionPost",  "OrlEvt_ExitLogPre",     "OrlEvt_ExitLogPost",
    "OrlEvt_ExitMessagePre", "OrlEvt_ExitMessagePost", "OrlEvt_ExitSystemInit", "OrlEvt_ExitSystemTerm",
};

const char kAbsentText[] = "(absent)";

// The one action that the stand-in performs for every message.
const char kActionKeyword[] = "DISPLAY";
const char kActionSeverity[] = "INF";
const char kActionShortText[] = "OK";
const char kActionUser[] = "evtmgr";
const char kActionText[] = "show on console";
const int32_t kActionToken = 1;
const int32_t kActionColor = 2;
const int32_t kActionAttrib = 4;
const int32_t kActionFlags = 16;

// Receives in pieces of this size.
const size_t kReceiveChunk = 64 * 1024;

bool parse_integer(const char *text, long long low, long long high, long long *value) {
    if (text == nullptr || *text == '\0')
        return false;
    char *end = nullptr;
    errno = 0;
    long long parsed = strtoll(text, &end, 10);
    if (errno != 0 || *end != '\0' || parsed < low || parsed > high)
        return false;
    *value = parsed;
    return true;
}

void copy_held_text(char *field, size_t field_size, const char *text) {
    size_t length = strlen(text);
    if (length > field_size - 1)
        length = field_size - 1;
    memset(field, 0, field_size);
    memcpy(field, text, length);
}

void report(const EventManager &manager, const std::string &text) {
    if (manager.diagnostics != nullptr)
        manager.diagnostics(manager.diagnostics_context, text.data(), text.size());
}

void handle_message(EventManager *manager, const WireMessage &message) {
    OrlEvtMessage record = wire_to_record(message);
    OrlEvtAction action;
    fill_action_record(++manager->seqno, manager->clock(), message.node.c_str(), &action);
    for (const ExitModule &module : manager->exits)
        module.action_pre(&record, &action);
    std::string line = format_message_line(message);
    line.push_back('\n');
    manager->output(manager->output_context, line.data(), line.size());
}

// Reads what the peer sent; handles the message once its frame is whole.
// False when the connection is done with.
bool serve_connection(EventManager *manager, PeerConnection *connection) {
    std::unique_ptr<char[]> chunk(new char[kReceiveChunk]);
    long received = net_receive(connection->socket, chunk.get(), kReceiveChunk);
    if (received <= 0)
        return false;
    if (connection->answered_never)
        return true;  // a peer that we never answer may send what it likes
    connection->received.append(chunk.get(), static_cast<size_t>(received));
    WireMessage message;
    size_t frame_size = 0;
    switch (wire_decode(connection->received.data(), connection->received.size(), &message, &frame_size)) {
    case DecodeStatus::incomplete:
        return true;
    case DecodeStatus::malformed:
        report(*manager, "evtmgr: dropping a connection that sent no valid message frame\n");
        return false;
    case DecodeStatus::complete:
        break;
    }
    handle_message(manager, message);
    if (manager->options.reply_mode == ReplyMode::never) {
        connection->answered_never = true;
        connection->received.clear();
        return true;
    }
    unsigned char answer[kAnswerSize];
    wire_put_answer(manager->options.reply_code, answer);
    if (!net_send_all(connection->socket, answer, sizeof answer))
        report(*manager, "evtmgr: could not answer a message: " + std::string(net_last_error_text()) + "\n");
    return false;
}

}  // namespace

bool parse_evtmgr_options(int argc, const char *const *argv, EvtmgrOptions *options, std::string *error) {
    bool reply_given = false;
    for (int i = 1; i < argc; ++i) {
        std::string option = argv[i];
        const char *value = i + 1 < argc ? argv[i + 1] : nullptr;
        long long number = 0;
        if (option == "--never-reply") {
            options->reply_mode = ReplyMode::never;
            continue;
        }
        if (option != "--port" && option != "--reply" && option != "--exit") {
            *error = "unknown option " + option;
            return false;
        }
        if (value == nullptr) {
            *error = option + " needs a value";
            return false;
        }
        ++i;
        if (option == "--exit") {
            options->exits.push_back(value);
        } else if (option == "--port") {
            if (!parse_integer(value, 0, 65535, &number)) {
                *error = std::string("bad port ") + value;
                return false;
            }
            options->port = static_cast<uint16_t>(number);
        } else {
            if (!parse_integer(value, INT32_MIN, INT32_MAX, &number)) {
                *error = std::string("bad reply code ") + value;
                return false;
            }
            options->reply_code = static_cast<int32_t>(number);
            reply_given = true;
        }
    }
    if (reply_given && options->reply_mode == ReplyMode::never) {
        *error = "--reply and --never-reply exclude each other";
        return false;
    }
    return true;
}

std::string escape_text(const char *data, size_t size) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(size);
    for (size_t i = 0; i < size; ++i) {
        unsigned char byte = static_cast<unsigned char>(data[i]);
        switch (byte) {
        case '\\':
            out += "\\\\";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        default:
            if (byte < 0x20 || byte >= 0x7f) {
                const char escaped[4] = {'\\', 'x', kHex[byte >> 4], kHex[byte & 0xf]};
                out.append(escaped, 4);
            } else {
                out.push_back(static_cast<char>(byte));
            }
        }
    }
    return out;
}

std::string format_message_line(const WireMessage &message) {
    std::string line = "message\t" + escape_text(message.node.data(), message.node.size());
    for (int32_t value : message.integers)
        line += "\t" + std::to_string(value);
    const void *severity_end = memchr(message.severity, '\0', sizeof message.severity);
    size_t severity_size = severity_end != nullptr
                               ? static_cast<size_t>(static_cast<const char *>(severity_end) - message.severity)
                               : sizeof message.severity;
    line += "\t" + escape_text(message.severity, severity_size);
    for (int i = 0; i < EVTM_TEXT_FIELDS; ++i) {
        line += "\t";
        line += message.present[i] ? escape_text(message.texts[i].data(), message.texts[i].size()) : kAbsentText;
    }
    return line;
}

void fill_action_record(int32_t seqno, int32_t received_at, const char *target_node, OrlEvtAction *action) {
    memset(action, 0, sizeof *action);
    action->evtact_token = kActionToken;
    action->evtact_seqno = seqno;
    action->evtact_cr_ti = received_at;
    action->evtact_up_ti = received_at;
    action->evtact_node = target_node;
    action->evtact_user = kActionUser;
    action->evtact_cr_id = kActionUser;
    action->evtact_up_id = nullptr;
    action->evtact_cond_rc = 0;
    action->evtact_color = kActionColor;
    action->evtact_attrib = kActionAttrib;
    action->evtact_flags = kActionFlags;
    copy_held_text(action->evtact_keyword, sizeof action->evtact_keyword, kActionKeyword);
    copy_held_text(action->evtact_severity, sizeof action->evtact_severity, kActionSeverity);
    action->evtact_quiet = 'N';
    action->evtact_audit = 'Y';
    action->evtact_simul = 'N';
    action->evtact_status = 'A';
    action->evtact_cond_op = '=';
    copy_held_text(action->evtact_short_text, sizeof action->evtact_short_text, kActionShortText);
    action->evtact_dest_node = target_node;
    action->evtact_station = nullptr;
    action->evtact_text = kActionText;
    action->evtact_category = nullptr;
    action->evtact_source = kActionUser;
    action->evtact_runid = nullptr;
    action->evtact_runpw = nullptr;
}

bool load_exit_module(const std::string &path, ExitModule *module, std::string *error) {
    module->path = path;
    if (!dynload_open(path.c_str(), &module->library, error)) {
        *error = "cannot load exit module " + path + ": " + *error;
        return false;
    }
    for (const char *name : kExitExports) {
        if (dynload_symbol(module->library, name) == nullptr) {
            *error = "exit module " + path + " does not export " + name;
            return false;
        }
    }
    module->action_pre = reinterpret_cast<ExitActionPreFunction>(dynload_symbol(module->library, kExitExports[0]));
    module->system_init =
        reinterpret_cast<ExitWithoutArgumentsFunction>(dynload_symbol(module->library, "OrlEvt_ExitSystemInit"));
    return true;
}

bool evtmgr_load_exits(EventManager *manager, std::string *error) {
    for (const std::string &path : manager->options.exits) {
        ExitModule module;
        if (!load_exit_module(path, &module, error))
            return false;
        manager->exits.push_back(module);
    }
    for (const ExitModule &module : manager->exits)
        module.system_init();
    return true;
}

bool evtmgr_serve(EventManager *manager, int timeout_ms) {
    std::vector<Socket> watched;
    watched.push_back(manager->listener);
    for (const PeerConnection &connection : manager->connections)
        watched.push_back(connection.socket);
    std::unique_ptr<bool[]> readable(new bool[watched.size()]());
    if (net_wait_readable(watched.data(), watched.size(), readable.get(), timeout_ms) < 0)
        return false;
    // Connections first, by their place in the snapshot; new ones after.
    std::vector<PeerConnection> kept;
    for (size_t i = 0; i < manager->connections.size(); ++i) {
        PeerConnection &connection = manager->connections[i];
        if (!readable[i + 1] || serve_connection(manager, &connection))
            kept.push_back(std::move(connection));
        else
            net_close(&connection.socket);
    }
    manager->connections.swap(kept);
    PeerConnection accepted;
    if (readable[0] && net_accept(manager->listener, &accepted.socket))
        manager->connections.push_back(std::move(accepted));
    return true;
}

void evtmgr_close(EventManager *manager) {
    for (PeerConnection &connection : manager->connections)
        net_close(&connection.socket);
    manager->connections.clear();
    net_close(&manager->listener);
}

}  // namespace standins
