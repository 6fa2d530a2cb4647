#include "tests/support/config.h"

#include <sys/stat.h>

#include "tests/support/process.h"

namespace testsupport {

bool set_kestrow_log_dir(const std::string &scratch, const std::string &log_dir) {
    std::string path = scratch + "/registry";
    set_env("KESTROW_REGISTRY_ROOT", path);
    mkdir(path.c_str(), 0755);
    for (const char *part : {"/HKEY_LOCAL_MACHINE", "/SOFTWARE", "/Brannick", "/Kestrow.DLL"}) {
        path += part;
        mkdir(path.c_str(), 0755);
    }
    return write_file(path + "/LogDir", log_dir + "\n");
}

}  // namespace testsupport
