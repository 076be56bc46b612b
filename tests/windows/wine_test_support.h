// Where the Wine tests find the DLLs and the references the Linux side wrote
// (both given by the test script through the environment).
#pragma once

#include <string>

namespace wine_test {

inline const char* const kDeliverables[] = {"Vorsa_Glintor", "Vorsa_Glintor_Mono", "Vorsa_RUMBLOR",
                                            "Vorsa_RUMBLOR_Mono"};

std::string pluginPath(const std::string& name);
std::string referencePath(const std::string& name, const std::string& suffix);
// A folder for pictures and other output of the run.
std::string outputPath(const std::string& file);

}  // namespace wine_test
