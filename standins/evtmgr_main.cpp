// evtmgr [--port N] [--reply CODE | --never-reply] [--exit PATH]...
// Runs until it is killed.
#include <string>

#include "platform/clock.h"
#include "platform/console.h"
#include "standins/evtmgr.h"

using namespace standins;

namespace {

const char kUsage[] = "usage: evtmgr [--port N] [--reply CODE | --never-reply] [--exit PATH]...\n";

void to_stdout(void *, const char *data, size_t size) { platform::write_stdout(data, size); }
void to_stderr(void *, const char *data, size_t size) { platform::write_stderr(data, size); }

int fail(const std::string &text, int status) {
    std::string line = "evtmgr: " + text + "\n";
    platform::write_stderr(line.data(), line.size());
    return status;
}

}  // namespace

int main(int argc, char **argv) {
    platform::console_init();
    EventManager manager;
    std::string error;
    if (!parse_evtmgr_options(argc, argv, &manager.options, &error)) {
        fail(error, 2);
        platform::write_stderr(kUsage, sizeof kUsage - 1);
        return 2;
    }
    if (!net_startup())
        return fail("cannot start the network", 1);
    if (!evtmgr_load_exits(&manager, &error))
        return fail(error, 1);
    uint16_t port = 0;
    if (!net_listen_loopback(manager.options.port, &manager.listener, &port))
        return fail("cannot listen on 127.0.0.1 port " + std::to_string(manager.options.port) + ": " +
                        net_last_error_text(),
                    1);
    manager.output = to_stdout;
    manager.diagnostics = to_stderr;
    manager.clock = platform::now_seconds;
    std::string ready = "listening on port " + std::to_string(port) + "\n";
    platform::write_stdout(ready.data(), ready.size());
    for (;;) {
        if (!evtmgr_serve(&manager, -1))
            return fail(std::string("waiting for connections failed: ") + net_last_error_text(), 1);
    }
}
