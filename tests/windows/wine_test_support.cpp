#include "tests/windows/wine_test_support.h"

#include <cstdlib>

namespace wine_test {

namespace {
std::string folder(const char* variable) {
    const char* value = std::getenv(variable);
    return value ? value : ".";
}
}  // namespace

std::string pluginPath(const std::string& name) { return folder("VORSA_WINE_PLUGINS") + "/" + name + ".dll"; }

std::string referencePath(const std::string& name, const std::string& suffix) {
    return folder("VORSA_WINE_REFERENCE") + "/" + name + suffix;
}

std::string outputPath(const std::string& file) { return folder("VORSA_WINE_REFERENCE") + "/" + file; }

}  // namespace wine_test
