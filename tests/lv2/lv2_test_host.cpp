#include "tests/lv2/lv2_test_host.h"

#include <lv2/atom/atom.h>
#include <lv2/urid/urid.h>

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace lv2_test {

namespace {

LV2_URID mapUri(LV2_URID_Map_Handle handle, const char* uri) { return static_cast<World*>(handle)->map(uri); }

struct Node {
    LilvNode* node;
    explicit Node(LilvNode* n) : node(n) {}
    ~Node() { lilv_node_free(node); }
    operator const LilvNode*() const { return node; }
};

void setPortValue(const char* symbol, void* user, const void* value, uint32_t size, uint32_t /*type*/) {
    if (size == sizeof(float)) static_cast<Instance*>(user)->control(symbol) = *static_cast<const float*>(value);
}

}  // namespace

World::World() : world(lilv_world_new()) {
    for (const char* bundle : {"vorsa-glintor.lv2", "vorsa-rumblor.lv2"}) {
        const std::string path = std::string(VORSA_LV2_DIR) + "/" + bundle + "/";
        Node uri(lilv_new_file_uri(world, nullptr, path.c_str()));
        lilv_world_load_bundle(world, uri);
    }
    // The schema bundles, for the port property and unit URIs.
    lilv_world_load_specifications(world);
    lilv_world_load_plugin_classes(world);
}

World::~World() { lilv_world_free(world); }

uint32_t World::map(const char* uri) {
    auto found = uris.find(uri);
    if (found != uris.end()) return found->second;
    const uint32_t id = static_cast<uint32_t>(uris.size() + 1);
    uris.emplace(uri, id);
    return id;
}

const LilvPlugin* World::plugin(const std::string& uri) const {
    Node node(lilv_new_uri(world, uri.c_str()));
    return lilv_plugins_get_by_uri(lilv_world_get_all_plugins(world), node);
}

std::vector<std::string> World::vorsaPlugins() const {
    std::vector<std::string> found;
    const LilvPlugins* all = lilv_world_get_all_plugins(world);
    LILV_FOREACH (plugins, i, all) {
        const std::string uri = lilv_node_as_uri(lilv_plugin_get_uri(lilv_plugins_get(all, i)));
        if (uri.find("https://vorsa-audio.example/") == 0) found.push_back(uri);
    }
    std::sort(found.begin(), found.end());
    return found;
}

std::vector<std::pair<std::string, std::string>> World::presets(const LilvPlugin* plugin) const {
    std::vector<std::pair<std::string, std::string>> found;
    Node presetClass(lilv_new_uri(world, "http://lv2plug.in/ns/ext/presets#Preset"));
    Node label(lilv_new_uri(world, "http://www.w3.org/2000/01/rdf-schema#label"));
    LilvNodes* related = lilv_plugin_get_related(plugin, presetClass);
    LILV_FOREACH (nodes, i, related) {
        const LilvNode* preset = lilv_nodes_get(related, i);
        lilv_world_load_resource(world, preset);
        LilvNode* name = lilv_world_get(world, preset, label, nullptr);
        found.emplace_back(lilv_node_as_uri(preset), name ? lilv_node_as_string(name) : "");
        lilv_node_free(name);
    }
    lilv_nodes_free(related);
    std::sort(found.begin(), found.end());
    return found;
}

Instance::Instance(World& w, const std::string& uri, double rate) : world(w), plugin(w.plugin(uri)) {
    if (!plugin) throw std::runtime_error("no plug-in " + uri);
    const uint32_t n = lilv_plugin_get_num_ports(plugin);
    values.assign(n, 0.0f);
    std::vector<float> defaults(n);
    lilv_plugin_get_port_ranges_float(plugin, nullptr, nullptr, defaults.data());
    static LV2_URID_Map map = {nullptr, mapUri};
    map.handle = &world;
    static LV2_Feature mapFeature = {LV2_URID__map, &map};
    const LV2_Feature* features[] = {&mapFeature, nullptr};
    instance = lilv_plugin_instantiate(plugin, rate, features);
    if (!instance) throw std::runtime_error("cannot instantiate " + uri);
    buffers.resize(n);
    Node audio(lilv_new_uri(world.get(), LILV_URI_AUDIO_PORT));
    Node input(lilv_new_uri(world.get(), LILV_URI_INPUT_PORT));
    for (uint32_t p = 0; p < n; ++p) {
        const LilvPort* port = lilv_plugin_get_port_by_index(plugin, p);
        if (lilv_port_is_a(plugin, port, audio)) {
            (lilv_port_is_a(plugin, port, input) ? inputs : outputs).push_back(static_cast<int>(p));
        } else {
            values[p] = std::isnan(defaults[p]) ? 0.0f : defaults[p];
            lilv_instance_connect_port(instance, p, &values[p]);
        }
    }
    lilv_instance_activate(instance);
}

Instance::~Instance() {
    if (instance) {
        lilv_instance_deactivate(instance);
        lilv_instance_free(instance);
    }
}

int Instance::port(const std::string& symbol) const {
    Node node(lilv_new_string(world.get(), symbol.c_str()));
    const LilvPort* p = lilv_plugin_get_port_by_symbol(plugin, node);
    return p ? static_cast<int>(lilv_port_get_index(plugin, p)) : -1;
}

float& Instance::control(const std::string& symbol) {
    const int p = port(symbol);
    if (p < 0) throw std::runtime_error("no port " + symbol);
    return values[static_cast<size_t>(p)];
}

void Instance::disconnect(const std::string& symbol) {
    lilv_instance_connect_port(instance, static_cast<uint32_t>(port(symbol)), nullptr);
}

void Instance::restorePreset(const std::string& uri) {
    static LV2_URID_Map map = {nullptr, mapUri};
    map.handle = &world;
    Node node(lilv_new_uri(world.get(), uri.c_str()));
    lilv_world_load_resource(world.get(), node);
    LilvState* state = lilv_state_new_from_world(world.get(), &map, node);
    if (!state) throw std::runtime_error("no preset " + uri);
    lilv_state_restore(state, instance, setPortValue, this, 0, nullptr);
    lilv_state_free(state);
}

void Instance::runFrames(uint32_t frames) { lilv_instance_run(instance, frames); }

std::vector<float> Instance::run(const std::vector<float>& stereo, int block) { return render(stereo, block, false); }

std::vector<float> Instance::runInPlace(const std::vector<float>& stereo, int block) {
    return render(stereo, block, true);
}

std::vector<float> Instance::render(const std::vector<float>& stereo, int block, bool inPlace) {
    for (int p : inputs) buffers[static_cast<size_t>(p)].assign(static_cast<size_t>(block), 0.0f);
    for (int p : outputs) buffers[static_cast<size_t>(p)].assign(static_cast<size_t>(block), 0.0f);
    for (int p : inputs) lilv_instance_connect_port(instance, static_cast<uint32_t>(p), buffers[static_cast<size_t>(p)].data());
    for (size_t c = 0; c < outputs.size(); ++c) {
        const int p = outputs[c];
        // In place: output c writes into input c's buffer, which is read back below.
        const int into = inPlace && c < inputs.size() ? inputs[c] : p;
        lilv_instance_connect_port(instance, static_cast<uint32_t>(p), buffers[static_cast<size_t>(into)].data());
    }
    const int frames = static_cast<int>(stereo.size() / 2);
    std::vector<float> result;
    result.reserve(static_cast<size_t>(frames) * outputs.size());
    for (int done = 0; done < frames;) {
        const int n = std::min(block, frames - done);
        for (size_t c = 0; c < inputs.size(); ++c)
            for (int i = 0; i < n; ++i)
                buffers[static_cast<size_t>(inputs[c])][static_cast<size_t>(i)] = stereo[2 * static_cast<size_t>(done + i) + c];
        lilv_instance_run(instance, static_cast<uint32_t>(n));
        for (int i = 0; i < n; ++i)
            for (size_t c = 0; c < outputs.size(); ++c) {
                const int p = inPlace && c < inputs.size() ? inputs[c] : outputs[c];
                result.push_back(buffers[static_cast<size_t>(p)][static_cast<size_t>(i)]);
            }
        done += n;
    }
    return result;
}

}  // namespace lv2_test
