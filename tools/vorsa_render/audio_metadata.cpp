#include "tools/vorsa_render/audio_metadata.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

namespace render {

namespace {

// Large enough for any coding history a broadcast WAV carries.
typedef SF_BROADCAST_INFO_VAR(16384) LargeBroadcastInfo;

struct StringKind {
    int type;
    const char* name;
};
constexpr StringKind kStrings[] = {
    {SF_STR_TITLE, "title"},     {SF_STR_COPYRIGHT, "copyright"}, {SF_STR_SOFTWARE, "software"},
    {SF_STR_ARTIST, "artist"},   {SF_STR_COMMENT, "comment"},     {SF_STR_DATE, "date"},
    {SF_STR_ALBUM, "album"},     {SF_STR_LICENSE, "license"},     {SF_STR_TRACKNUMBER, "track number"},
    {SF_STR_GENRE, "genre"},
};

const char* stringName(int type) {
    for (const StringKind& k : kStrings)
        if (k.type == type) return k.name;
    return "tag";
}

// Chunks libsndfile reads into what it can write again (or that only
// describe the audio it writes anew), and the INFO items it maps to tags.
const char* const kCarriedChunks[] = {"fmt ", "data", "fact", "PEAK", "bext", "cue ", "LIST/INFO", "JUNK", "junk",
                                      "PAD ", "pad ", "FLLR", "ds64", "COMM", "SSND", "FVER", "MARK", "NAME",
                                      "AUTH", "(c) ", "ANNO"};
const char* const kCarriedInfoItems[] = {"INAM", "ICOP", "ISFT", "IART", "ICMT", "ICRD", "IGNR", "IPRD", "ITRK"};

template <size_t N>
bool among(const std::string& id, const char* const (&list)[N]) {
    return std::find_if(std::begin(list), std::end(list), [&](const char* s) { return id == s; }) != std::end(list);
}

std::string chunkName(const std::string& id) {
    if (id == "LIST/adtl") return "LIST/adtl (cue labels)";
    if (id == "smpl" || id == "inst") return id + " (loops)";
    if (id == "iXML" || id == "axml") return id + " (production XML)";
    std::string name = id;
    while (!name.empty() && name.back() == ' ') name.pop_back();
    return name;
}

}  // namespace

AudioMetadata readMetadata(SNDFILE* file, const ChunkLayout& layout) {
    AudioMetadata m;
    LargeBroadcastInfo broadcast{};
    if (sf_command(file, SFC_GET_BROADCAST_INFO, &broadcast, sizeof(broadcast)) == SF_TRUE) {
        // Kept at the size its coding history needs: libsndfile refuses to
        // set a larger record than that.
        const size_t size = std::max(sizeof(SF_BROADCAST_INFO),
                                     offsetof(LargeBroadcastInfo, coding_history) + broadcast.coding_history_size);
        const char* info = reinterpret_cast<const char*>(&broadcast);
        m.broadcast.assign(info, info + std::min(size, sizeof(broadcast)));
    }
    for (const StringKind& k : kStrings)
        if (const char* text = sf_get_string(file, k.type); text && *text) m.strings.emplace_back(k.type, text);
    uint32_t count = 0;
    if (sf_command(file, SFC_GET_CUE_COUNT, &count, sizeof(count)) == SF_TRUE && count > 0) {
        std::vector<char> buffer(sizeof(uint32_t) + count * sizeof(SF_CUE_POINT));
        if (sf_command(file, SFC_GET_CUE, buffer.data(), static_cast<int>(buffer.size())) == SF_TRUE) {
            m.cues.resize(count);
            std::memcpy(m.cues.data(), buffer.data() + sizeof(uint32_t), count * sizeof(SF_CUE_POINT));
        }
    }
    for (const Chunk& chunk : layout.chunks) {
        if (!among(chunk.id, kCarriedChunks)) {
            if (std::find(m.uncarried.begin(), m.uncarried.end(), chunkName(chunk.id)) == m.uncarried.end())
                m.uncarried.push_back(chunkName(chunk.id));
            continue;
        }
        if (chunk.id == "LIST/INFO")
            for (const std::string& item : chunk.items)
                if (!among(item, kCarriedInfoItems)) m.uncarried.push_back("LIST/INFO " + item);
    }
    return m;
}

std::vector<std::string> writeMetadata(SNDFILE* file, const AudioMetadata& m, bool cuesKept) {
    std::vector<std::string> dropped = m.uncarried;
    if (!m.broadcast.empty()) {
        std::vector<char> copy = m.broadcast;
        if (sf_command(file, SFC_SET_BROADCAST_INFO, copy.data(), static_cast<int>(copy.size())) != SF_TRUE)
            dropped.push_back("bext (broadcast info and time reference)");
    }
    for (const auto& [type, text] : m.strings)
        if (sf_set_string(file, type, text.c_str()) != 0) dropped.push_back(std::string(stringName(type)) + " tag");
    if (!m.cues.empty()) {
        std::vector<char> buffer(sizeof(uint32_t) + m.cues.size() * sizeof(SF_CUE_POINT));
        const uint32_t count = static_cast<uint32_t>(m.cues.size());
        std::memcpy(buffer.data(), &count, sizeof(count));
        std::memcpy(buffer.data() + sizeof(count), m.cues.data(), m.cues.size() * sizeof(SF_CUE_POINT));
        if (!cuesKept || sf_command(file, SFC_SET_CUE, buffer.data(), static_cast<int>(buffer.size())) != SF_TRUE)
            dropped.push_back(std::to_string(count) + " cue point(s)");
    }
    return dropped;
}

std::vector<std::string> describeMetadata(const AudioMetadata& m) {
    std::vector<std::string> all = m.uncarried;
    if (!m.broadcast.empty()) all.push_back("bext (broadcast info and time reference)");
    for (const auto& s : m.strings) all.push_back(std::string(stringName(s.first)) + " tag");
    if (!m.cues.empty()) all.push_back(std::to_string(m.cues.size()) + " cue point(s)");
    return all;
}

}  // namespace render
