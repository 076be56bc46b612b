#include "tools/vorsa_render/chunk_layout.h"

#include <sys/stat.h>

#include <cstdio>
#include <memory>

namespace render {

namespace {

uint64_t number(const unsigned char* p, int bytes, bool bigEndian) {
    uint64_t v = 0;
    for (int i = 0; i < bytes; ++i) v |= static_cast<uint64_t>(p[bigEndian ? bytes - 1 - i : i]) << (8 * i);
    return v;
}

bool isChunkId(const unsigned char* p) {
    for (int i = 0; i < 4; ++i)
        if (p[i] < 0x20 || p[i] > 0x7e) return false;
    return true;
}

}  // namespace

ChunkLayout readChunkLayout(const std::string& path) {
    ChunkLayout layout;
    struct stat st;
    if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return layout;
    std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "rb"), std::fclose);
    if (!file) return layout;
    layout.fileSize = static_cast<uint64_t>(st.st_size);
    unsigned char head[12];
    if (std::fread(head, 1, 12, file.get()) != 12) return layout;
    const std::string form(reinterpret_cast<char*>(head), 4), kind(reinterpret_cast<char*>(head) + 8, 4);
    const bool riff = (form == "RIFF" || form == "RF64" || form == "BW64") && kind == "WAVE";
    const bool aiff = form == "FORM" && (kind == "AIFF" || kind == "AIFC");
    if (!riff && !aiff) return layout;
    layout.known = true;
    const bool big = aiff;
    uint64_t ds64DataSize = 0;
    uint64_t position = 12;
    while (position + 8 <= layout.fileSize) {
        unsigned char header[12];
        std::fseek(file.get(), static_cast<long>(position), SEEK_SET);
        if (std::fread(header, 1, 12, file.get()) < 8 || !isChunkId(header)) break;
        Chunk chunk;
        chunk.id.assign(reinterpret_cast<char*>(header), 4);
        chunk.offset = position + 8;
        chunk.size = number(header + 4, 4, big);
        const bool audio = chunk.id == (aiff ? "SSND" : "data");
        if (audio && riff && chunk.size == 0xFFFFFFFFu && ds64DataSize > 0) chunk.size = ds64DataSize;
        // Only the audio may run past the end (a truncated file, which the
        // reader reports); anything else that does is not a chunk.
        if (!audio && chunk.offset + chunk.size > layout.fileSize) break;
        if (chunk.id == "ds64" && chunk.size >= 16) {
            unsigned char sizes[16];
            std::fseek(file.get(), static_cast<long>(chunk.offset), SEEK_SET);
            if (std::fread(sizes, 1, 16, file.get()) == 16) ds64DataSize = number(sizes + 8, 8, false);
        }
        if (chunk.id == "LIST" && chunk.size >= 4 && isChunkId(header + 8)) {
            chunk.id += "/" + std::string(reinterpret_cast<char*>(header) + 8, 4);
            for (uint64_t item = chunk.offset + 4; item + 8 <= chunk.offset + chunk.size;) {
                unsigned char sub[8];
                std::fseek(file.get(), static_cast<long>(item), SEEK_SET);
                if (std::fread(sub, 1, 8, file.get()) != 8 || !isChunkId(sub)) break;
                chunk.items.emplace_back(reinterpret_cast<char*>(sub), 4);
                const uint64_t size = number(sub + 4, 4, false);
                item += 8 + size + (size & 1);
            }
        }
        if (audio && layout.audioChunk < 0) {
            layout.audioChunk = static_cast<int>(layout.chunks.size());
            layout.audioOffset = chunk.offset + (aiff ? 8 : 0);
            layout.audioBytes = aiff ? (chunk.size >= 8 ? chunk.size - 8 : 0) : chunk.size;
        }
        layout.chunks.push_back(chunk);
        position = chunk.offset + chunk.size + (chunk.size & 1);
        if (position >= layout.fileSize) return layout;
    }
    layout.strayBytes = layout.fileSize > position ? layout.fileSize - position : 0;
    return layout;
}

}  // namespace render
