// A file the tool writes, written so that a failed run leaves whatever was
// there before exactly as it was.
#pragma once

#include <memory>
#include <string>

namespace render {

class OutputFile {
public:
    // Prepares `path` for writing, before any work is done:
    //  - a new or existing regular file: the data goes to a temporary file
    //    beside it, which replaces it only on commit(); a replaced file keeps
    //    its permissions (and owner, where allowed);
    //  - a symbolic link: the same for the file it points to, so the link stays;
    //  - a FIFO or character device, or "-" for standard output: written
    //    directly, as the stream it is;
    //  - anything else (a folder, a write-protected file, a broken link): refused.
    // Null with a reason in `error`.
    static std::unique_ptr<OutputFile> open(const std::string& path, std::string& error);
    ~OutputFile();  // without commit(), the temporary file is removed
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    int fd() const { return descriptor; }
    bool isStream() const { return temporary.empty(); }
    const std::string& path() const { return shownPath; }

    // Flushes and, for a replaced file, renames the temporary file over the
    // target. False with a reason naming the file.
    bool commit(std::string& error);

private:
    OutputFile() = default;
    std::string shownPath;   // as the user wrote it
    std::string targetPath;  // the file that is replaced (a link's target)
    std::string temporary;   // empty for streams
    int descriptor = -1;
    bool ownsDescriptor = true;
    bool committed = false;
    int slot = -1;  // where an interrupt finds the temporary file
};

// On SIGINT, SIGTERM and SIGHUP (unless ignored, as under nohup): removes
// the temporary files of every output not yet committed, says
// "interrupted" on standard error, and dies of the signal as it would have.
void removeTemporariesOnInterrupt();

// "cannot write FILE: reason" from errno.
std::string writeError(const std::string& path, int errorNumber);

}  // namespace render
