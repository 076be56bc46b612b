// What a file says about its audio besides the samples: broadcast info (with
// the time reference post-production places it by), text tags and cue points,
// carried from input to output as far as libsndfile can, and the names of
// what could not be, so that nothing goes missing without a word.
#pragma once

#include <sndfile.h>

#include <string>
#include <utility>
#include <vector>

#include "tools/vorsa_render/chunk_layout.h"

namespace render {

struct AudioMetadata {
    std::vector<char> broadcast;                      // an SF_BROADCAST_INFO_VAR of this size; empty: none
    std::vector<std::pair<int, std::string>> strings; // SF_STR_* and its text
    std::vector<SF_CUE_POINT> cues;
    std::vector<std::string> uncarried;               // found in the input, never readable through libsndfile

    bool empty() const { return broadcast.empty() && strings.empty() && cues.empty() && uncarried.empty(); }
};

// What `file` holds; `layout` (may be unknown) names the chunks libsndfile
// skips, such as "iXML" or "LIST/INFO IENG".
AudioMetadata readMetadata(SNDFILE* file, const ChunkLayout& layout);

// Sets everything the container of `file` takes; must come before any audio
// is written. Returns the names of what it could not take.
// libsndfile accepts cue points for every container but writes them only
// into plain WAV and AIFF files: `cuesKept` says whether this one is such.
std::vector<std::string> writeMetadata(SNDFILE* file, const AudioMetadata& metadata, bool cuesKept);

// The names of everything in `metadata`, for outputs that hold none (raw
// audio, streams).
std::vector<std::string> describeMetadata(const AudioMetadata& metadata);

}  // namespace render
