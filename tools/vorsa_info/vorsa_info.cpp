// vorsa-info PLUGIN...: loads each plug-in as a host would and lists its
// identity, parameters and programs.
#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "host/hosted_plugin.h"
#include "host/plugin_locator.h"
#include "host/plugin_report.h"

namespace {

const char kUsage[] =
    "usage: vorsa-info [--identity] [--parameters] [--programs] PLUGIN|FOLDER...\n"
    "\n"
    "Loads each Linux VST 2 plug-in as a host would and lists its identity, parameters (name, display text,\n"
    "label) and programs. A FOLDER lists every .so file in it. PLUGIN is a path, or a file name looked up in\n"
    "VST_PATH, ~/.vst, /usr/lib/vst and /usr/local/lib/vst.\n"
    "\n"
    "  --identity     only the identity (name, vendor, id, channels, delay)\n"
    "  --parameters   only the parameters\n"
    "  --programs     only the programs\n"
    "                 (these combine; without any, everything is listed)\n"
    "  --timeout S    give each plug-in S seconds to load and answer (default 30)\n"
    "\n"
    "Each plug-in is loaded in a process of its own, as hosts scan: one that crashes or hangs is reported\n"
    "and the others are still listed.\n"
    "  --version, --help\n";

// The .so files of a folder, sorted; the folder's own name when it is not one.
std::vector<std::string> expand(const std::string& path) {
    struct stat st;
    if (stat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return {path};
    std::vector<std::string> files;
    if (DIR* dir = opendir(path.c_str())) {
        while (dirent* entry = readdir(dir)) {
            std::string name = entry->d_name;
            if (name.size() > 3 && name.compare(name.size() - 3, 3, ".so") == 0) files.push_back(path + "/" + name);
        }
        closedir(dir);
    }
    std::sort(files.begin(), files.end());
    return files;
}

// Loads one plug-in and prints its report; the exit status of a scan.
int listPlugin(const std::string& path, const vst_host::ReportSections& sections) {
    std::string error;
    vst_host::HostedPlugin plugin = vst_host::loadHostedPlugin(path, &error);
    if (!plugin) {
        std::cerr << "vorsa-info: " << error << "\n";
        return 1;
    }
    std::cout << "== " << path << "\n";
    plugin->startUp(44100.0f, 512);
    vst_host::printPluginReport(*plugin.instance, std::cout, sections);
    std::cout << "\n";
    return 0;
}

std::string signalName(int signalNumber) {
    switch (signalNumber) {
    case SIGBUS: return "bus error";
    case SIGSEGV: return "segmentation fault";
    case SIGABRT: return "aborted";
    case SIGILL: return "illegal instruction";
    case SIGFPE: return "arithmetic error";
    default: return strsignal(signalNumber);
    }
}

// Scans `path` in a child process, as hosts do, so that a plug-in that
// crashes or hangs while loading costs only its own entry. The child's
// report is passed on only when it finished.
int scanInChild(const std::string& path, const vst_host::ReportSections& sections, int timeoutSeconds) {
    int out[2], err[2];
    if (pipe2(out, O_CLOEXEC) != 0 || pipe2(err, O_CLOEXEC) != 0) return listPlugin(path, sections);
    std::cout.flush();
    std::cerr.flush();
    const pid_t child = fork();
    if (child < 0) return listPlugin(path, sections);
    if (child == 0) {
        dup2(out[1], STDOUT_FILENO);
        dup2(err[1], STDERR_FILENO);
        const int status = listPlugin(path, sections);
        std::cout.flush();
        std::cerr.flush();
        _exit(status);
    }
    close(out[1]);
    close(err[1]);
    std::string texts[2];
    pollfd fds[2] = {{out[0], POLLIN, 0}, {err[0], POLLIN, 0}};
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeoutSeconds);
    bool timedOut = false;
    while (fds[0].fd >= 0 || fds[1].fd >= 0) {
        const long left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now()).count();
        if (left <= 0) {
            timedOut = true;
            break;
        }
        if (poll(fds, 2, static_cast<int>(std::min(left, 1000L))) < 0 && errno != EINTR) break;
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || !(fds[i].revents & (POLLIN | POLLHUP | POLLERR))) continue;
            char buffer[4096];
            const ssize_t n = read(fds[i].fd, buffer, sizeof(buffer));
            if (n > 0) {
                texts[i].append(buffer, static_cast<size_t>(n));
            } else if (n == 0 || errno != EINTR) {
                fds[i].fd = -1;
            }
        }
    }
    close(out[0]);
    close(err[0]);
    if (timedOut) kill(child, SIGKILL);
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    if (timedOut) {
        std::cerr << "vorsa-info: cannot load " << path << ": it did not finish loading within " << timeoutSeconds
                  << " s (stopped)\n";
        return 1;
    }
    if (WIFSIGNALED(status)) {
        std::cerr << "vorsa-info: cannot load " << path << ": crashed while loading (" << signalName(WTERMSIG(status))
                  << ")\n";
        return 1;
    }
    std::cout << texts[0];
    std::cerr << texts[1];
    return WIFEXITED(status) ? WEXITSTATUS(status) : 1;
}

}  // namespace

int main(int argc, char** argv) {
    vst_host::ReportSections sections{false, false, false};
    int timeout = 30;
    std::vector<std::string> names;
    bool namesOnly = false;  // after "--", even "-x" is a plug-in name
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (namesOnly) {
            names.push_back(arg);
        } else if (arg == "--") {
            namesOnly = true;
        } else if (arg == "--help" || arg == "-h") {
            std::cout << kUsage;
            return 0;
        } else if (arg == "--version") {
            std::cout << "vorsa-info " << VORSA_VERSION << "\n";
            return 0;
        } else if (arg == "--identity") {
            sections.identity = true;
        } else if (arg == "--parameters") {
            sections.parameters = true;
        } else if (arg == "--programs") {
            sections.programs = true;
        } else if (arg == "--timeout") {
            char* end = nullptr;
            const long seconds = i + 1 < argc ? std::strtol(argv[i + 1], &end, 10) : 0;
            if (i + 1 >= argc || *argv[i + 1] == 0 || *end != 0 || seconds < 1 || seconds > 3600) {
                std::cerr << "vorsa-info: --timeout takes seconds from 1 to 3600\n" << kUsage;
                return 2;
            }
            timeout = static_cast<int>(seconds);
            ++i;
        } else if (arg.size() > 1 && arg[0] == '-') {
            std::cerr << "vorsa-info: unknown option " << arg << "\n" << kUsage;
            return 2;
        } else {
            names.push_back(arg);
        }
    }
    if (names.empty()) {
        std::cerr << "vorsa-info: no plug-in given\n" << kUsage;
        return 2;
    }
    if (!sections.identity && !sections.parameters && !sections.programs) sections = {};

    int status = 0;
    for (const std::string& name : names) {
        std::string error;
        const std::string located = vst_host::locatePlugin(name, &error, true);
        std::vector<std::string> paths = located.empty() ? std::vector<std::string>{} : expand(located);
        if (located.empty() || paths.empty()) {
            std::cerr << "vorsa-info: " << (located.empty() ? error : "no plug-ins (.so files) in " + located) << "\n";
            status = 1;
            continue;
        }
        for (const std::string& path : paths)
            if (scanInChild(path, sections, timeout) != 0) status = 1;
    }
    return status;
}
