#include "tools/vorsa_render/output_file.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace render {

namespace {

mode_t currentUmask() {
    mode_t mask = umask(0);
    umask(mask);
    return mask;
}

std::string folderOf(const std::string& path) {
    size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? "." : path.substr(0, slash + 1);
}

// The temporary files a signal handler removes. Only fixed storage and
// async-signal-safe calls (unlink, write, raise) are used there; a slot is
// filled before it is marked used and marked free before it is reused.
constexpr int kSlots = 8;
struct TemporarySlot {
    char path[PATH_MAX];
    char shown[512];
    volatile sig_atomic_t used;
};
TemporarySlot temporaries[kSlots];

int registerTemporary(const std::string& path, const std::string& shown) {
    if (path.size() >= PATH_MAX) return -1;
    for (int i = 0; i < kSlots; ++i) {
        if (temporaries[i].used) continue;
        std::memcpy(temporaries[i].path, path.c_str(), path.size() + 1);
        std::snprintf(temporaries[i].shown, sizeof(temporaries[i].shown), "%s", shown.c_str());
        temporaries[i].used = 1;
        return i;
    }
    return -1;
}

void writeText(const char* text) {
    for (size_t left = std::strlen(text); left > 0;) {
        ssize_t n = ::write(STDERR_FILENO, text, left);
        if (n <= 0) return;
        text += n;
        left -= static_cast<size_t>(n);
    }
}

void onInterrupt(int signalNumber) {
    writeText("\nvorsa-render: interrupted");
    for (TemporarySlot& slot : temporaries) {
        if (!slot.used) continue;
        unlink(slot.path);
        writeText("; nothing was written to ");
        writeText(slot.shown);
    }
    writeText("\n");
    signal(signalNumber, SIG_DFL);
    raise(signalNumber);
}

}  // namespace

void removeTemporariesOnInterrupt() {
    for (int signalNumber : {SIGINT, SIGTERM, SIGHUP}) {
        struct sigaction current {};
        if (sigaction(signalNumber, nullptr, &current) == 0 && current.sa_handler == SIG_IGN) continue;
        struct sigaction action {};
        action.sa_handler = onInterrupt;
        sigemptyset(&action.sa_mask);
        for (int blocked : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&action.sa_mask, blocked);
        sigaction(signalNumber, &action, nullptr);
    }
}

std::string writeError(const std::string& path, int errorNumber) {
    return "cannot write " + path + ": " + std::strerror(errorNumber);
}

std::unique_ptr<OutputFile> OutputFile::open(const std::string& path, std::string& error) {
    std::unique_ptr<OutputFile> file(new OutputFile());
    file->shownPath = path;
    if (path == "-") {
        if (isatty(STDOUT_FILENO)) {
            error = "standard output is a terminal; send the audio into a pipe or a file";
            return nullptr;
        }
        file->descriptor = STDOUT_FILENO;
        file->ownsDescriptor = false;
        return file;
    }

    std::string target = path;
    struct stat st;
    bool exists = lstat(path.c_str(), &st) == 0;
    if (exists && S_ISLNK(st.st_mode)) {
        char resolved[PATH_MAX];
        if (!realpath(path.c_str(), resolved) || stat(resolved, &st) != 0) {
            error = "output " + path + " is a symbolic link to a missing file; nothing was written";
            return nullptr;
        }
        target = resolved;
    }
    file->targetPath = target;

    if (exists && (S_ISFIFO(st.st_mode) || S_ISCHR(st.st_mode))) {
        file->descriptor = ::open(target.c_str(), O_WRONLY | O_CLOEXEC);
        if (file->descriptor < 0) {
            error = writeError(path, errno);
            return nullptr;
        }
        return file;
    }
    if (exists && S_ISDIR(st.st_mode)) {
        error = "output " + path + " is a folder";
        return nullptr;
    }
    if (exists && !S_ISREG(st.st_mode)) {
        error = "output " + path + " is neither a file, a FIFO nor a character device";
        return nullptr;
    }
    if (exists && access(target.c_str(), W_OK) != 0) {
        error = errno == EROFS ? "output " + path + " is on a read-only file system; it was left as it was"
                               : "output " + path + " is write-protected; it was left as it was";
        return nullptr;
    }

    std::string pattern = target + ".partial-XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back(0);
    file->descriptor = mkostemp(name.data(), O_CLOEXEC);
    if (file->descriptor < 0) {
        const int reason = errno;
        error = "cannot create " + path + " (in " + folderOf(target) + "): " +
                (reason == EROFS ? std::string("the folder is on a read-only file system") : std::strerror(reason));
        return nullptr;
    }
    file->temporary = name.data();
    file->slot = registerTemporary(file->temporary, path);
    // Owner first: changing it may clear set-id bits that fchmod restores. Only
    // root may give a file away, so a failed fchown only keeps the user's own.
    bool chownFailed = exists && fchown(file->descriptor, st.st_uid, st.st_gid) != 0;
    (void)chownFailed;
    if (fchmod(file->descriptor, exists ? (st.st_mode & 07777) : (0666 & ~currentUmask())) != 0) {
        error = "cannot give " + path + " its permissions: " + std::strerror(errno);
        return nullptr;
    }
    return file;
}

OutputFile::~OutputFile() {
    if (ownsDescriptor && descriptor >= 0) ::close(descriptor);
    if (!committed && !temporary.empty()) unlink(temporary.c_str());
    if (slot >= 0) temporaries[slot].used = 0;
}

bool OutputFile::commit(std::string& error) {
    if (isStream()) {
        committed = true;
        // A pipe's reader may be gone, a device may be full: the last data has
        // already been handed over by write(), so only closing can fail now.
        if (ownsDescriptor && ::close(descriptor) != 0) {
            descriptor = -1;
            error = writeError(shownPath, errno);
            return false;
        }
        descriptor = -1;
        return true;
    }
    if (fsync(descriptor) != 0 || ::close(descriptor) != 0) {
        descriptor = -1;
        error = writeError(shownPath, errno);
        return false;
    }
    descriptor = -1;
    if (std::rename(temporary.c_str(), targetPath.c_str()) != 0) {
        error = writeError(shownPath, errno);
        return false;
    }
    committed = true;
    if (slot >= 0) temporaries[slot].used = 0;
    slot = -1;
    return true;
}

}  // namespace render
