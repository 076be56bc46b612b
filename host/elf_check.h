// A look at a shared library's ELF headers before it is mapped: a file that
// was only partly copied passes dlopen's checks and then dies of SIGBUS when
// the missing pages are touched, so it is refused while it can still be said why.
#pragma once

#include <string>

namespace vst_host {

// False with a reason in *error when the file is an ELF object whose headers
// or segments reach past its end. Anything else (not ELF at all, another
// class) is left to the loader to judge.
bool elfFileIsWhole(const std::string& path, std::string* error);

}  // namespace vst_host
