#include "host/elf_check.h"

#include <elf.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

namespace vst_host {

namespace {

bool readAt(int fd, void* buffer, size_t size, off_t offset) {
    return pread(fd, buffer, size, offset) == static_cast<ssize_t>(size);
}

std::string cutShort(unsigned long long size, unsigned long long needed) {
    return "the file is cut short: " + std::to_string(size) + " bytes, but its ELF headers describe " +
           std::to_string(needed) + " (a copy or download that did not finish?)";
}

}  // namespace

bool elfFileIsWhole(const std::string& path, std::string* error) {
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return true;  // the loader says why
    struct stat st;
    Elf64_Ehdr header;
    bool whole = true;
    unsigned long long needed = 0;
    if (fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
        const unsigned long long size = static_cast<unsigned long long>(st.st_size);
        unsigned char ident[EI_NIDENT] = {};
        const bool elf = readAt(fd, ident, sizeof(ident), 0) && std::memcmp(ident, ELFMAG, SELFMAG) == 0;
        if (elf && ident[EI_CLASS] == ELFCLASS64) {
            if (!readAt(fd, &header, sizeof(header), 0)) {
                needed = sizeof(header);
            } else {
                auto reach = [&](unsigned long long end) { needed = end > needed ? end : needed; };
                reach(header.e_phoff + static_cast<unsigned long long>(header.e_phnum) * header.e_phentsize);
                reach(header.e_shoff + static_cast<unsigned long long>(header.e_shnum) * header.e_shentsize);
                for (int i = 0; i < header.e_phnum && needed <= size; ++i) {
                    Elf64_Phdr segment;
                    if (!readAt(fd, &segment, sizeof(segment),
                                static_cast<off_t>(header.e_phoff + static_cast<unsigned long long>(i) * header.e_phentsize)))
                        break;
                    if (segment.p_type == PT_LOAD || segment.p_type == PT_DYNAMIC) reach(segment.p_offset + segment.p_filesz);
                }
            }
            whole = needed <= size;
            if (!whole && error) *error = cutShort(size, needed);
        }
    }
    close(fd);
    return whole;
}

}  // namespace vst_host
