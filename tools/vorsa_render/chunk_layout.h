// The chunks of a WAV, RF64 or AIFF file as they lie on disk, read without
// libsndfile: what it silently skips (chunks it cannot carry, audio past a
// data size the header understates) is only visible here.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace render {

struct Chunk {
    std::string id;       // "bext", "LIST/INFO", "LIST/adtl", "SSND"...
    uint64_t offset = 0;  // of the chunk's body
    uint64_t size = 0;    // as declared
    std::vector<std::string> items;  // a LIST's sub-chunk ids ("INAM", "IENG"...)
};

struct ChunkLayout {
    bool known = false;       // a RIFF, RF64 or FORM file whose chunks could be walked
    std::vector<Chunk> chunks;
    int audioChunk = -1;      // index of "data" or "SSND"
    uint64_t audioOffset = 0; // first byte of the sample data
    uint64_t audioBytes = 0;  // as the header declares it
    // Bytes after the last chunk that are no chunk at all: audio a writer
    // never accounted for when the data size is short (a crashed recorder).
    uint64_t strayBytes = 0;
    uint64_t fileSize = 0;
};

// Walks the chunks of the file at `path`; `known` is false for other files.
ChunkLayout readChunkLayout(const std::string& path);

}  // namespace render
