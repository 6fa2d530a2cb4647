// The exit module's configuration value LogDir, as a test sets it for the
// processes that it starts: the registry on Windows, the directory tree
// named by KESTROW_REGISTRY_ROOT elsewhere.
#ifndef TESTS_SUPPORT_CONFIG_H
#define TESTS_SUPPORT_CONFIG_H

#include <string>

namespace testsupport {

// `scratch` is a directory of the test's own for whatever the store needs.
bool set_kestrow_log_dir(const std::string &scratch, const std::string &log_dir);

}  // namespace testsupport

#endif
