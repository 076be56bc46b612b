// The LV2 path against the VST 2 path of the same product, like for like: the
// conditions lv2bench times every LV2 plug-in in (48 kHz, 512-frame blocks,
// every control at its default, silent input; all inputs share one buffer,
// all outputs another), once through the built VST 2 deliverable in the host
// library and once through the LV2 bundle in lilv. The difference is the cost
// of the LV2 face: the port reading, the latency and meter outputs.
#include <benchmark/benchmark.h>

#include <lilv/lilv.h>
#include <lv2/urid/urid.h>

#include <cmath>
#include <map>
#include <string>
#include <vector>

#include "bench/plugin_dir.h"
#include "host/hosted_plugin.h"

namespace {

constexpr int kBlock = 512;
constexpr float kRate = 48000.0f;

void reportPerFrame(benchmark::State& state) {
    state.SetItemsProcessed(state.iterations() * kBlock);
}

void BM_Vst2Path(benchmark::State& state, const char* name) {
    std::string error;
    vst_host::HostedPlugin rig = vst_host::loadHostedPlugin(
        benchPluginPath(name), &error, [](vst_host::ScriptedHost& host) { host.recordRequests = false; });
    if (!rig) {
        state.SkipWithError(error.c_str());
        return;
    }
    rig->startUp(kRate, kBlock);
    std::vector<float> in(kBlock, 0.0f), out(kBlock, 0.0f);
    float* ins[2] = {in.data(), in.data()};
    float* outs[2] = {out.data(), out.data()};
    for (auto _ : state) {
        rig->processReplacing(ins, outs, kBlock);
        benchmark::DoNotOptimize(out.data());
    }
    reportPerFrame(state);
}

std::map<std::string, LV2_URID>& uriTable() {
    static std::map<std::string, LV2_URID> table;
    return table;
}

LV2_URID mapUri(LV2_URID_Map_Handle, const char* uri) {
    auto& table = uriTable();
    auto found = table.find(uri);
    if (found != table.end()) return found->second;
    const LV2_URID id = static_cast<LV2_URID>(table.size() + 1);
    table.emplace(uri, id);
    return id;
}

void BM_Lv2Path(benchmark::State& state, const char* uri) {
    LilvWorld* world = lilv_world_new();
    for (const char* bundle : {"vorsa-glintor.lv2", "vorsa-rumblor.lv2"}) {
        const std::string path = std::string(VORSA_LV2_DIR) + "/" + bundle + "/";
        LilvNode* node = lilv_new_file_uri(world, nullptr, path.c_str());
        lilv_world_load_bundle(world, node);
        lilv_node_free(node);
    }
    LilvNode* uriNode = lilv_new_uri(world, uri);
    const LilvPlugin* plugin = lilv_plugins_get_by_uri(lilv_world_get_all_plugins(world), uriNode);
    lilv_node_free(uriNode);
    LV2_URID_Map map = {nullptr, mapUri};
    LV2_Feature mapFeature = {LV2_URID__map, &map};
    const LV2_Feature* features[] = {&mapFeature, nullptr};
    LilvInstance* instance = plugin ? lilv_plugin_instantiate(plugin, kRate, features) : nullptr;
    if (!instance) {
        state.SkipWithError("the LV2 plug-in is not built");
        lilv_world_free(world);
        return;
    }
    const uint32_t ports = lilv_plugin_get_num_ports(plugin);
    std::vector<float> controls(ports, 0.0f);
    lilv_plugin_get_port_ranges_float(plugin, nullptr, nullptr, controls.data());
    LilvNode* audio = lilv_new_uri(world, LILV_URI_AUDIO_PORT);
    LilvNode* input = lilv_new_uri(world, LILV_URI_INPUT_PORT);
    std::vector<float> in(kBlock, 0.0f), out(kBlock, 0.0f);
    for (uint32_t p = 0; p < ports; ++p) {
        const LilvPort* port = lilv_plugin_get_port_by_index(plugin, p);
        if (lilv_port_is_a(plugin, port, audio))
            lilv_instance_connect_port(instance, p, lilv_port_is_a(plugin, port, input) ? in.data() : out.data());
        else {
            if (std::isnan(controls[p])) controls[p] = 0.0f;
            lilv_instance_connect_port(instance, p, &controls[p]);
        }
    }
    lilv_node_free(audio);
    lilv_node_free(input);
    lilv_instance_activate(instance);
    for (auto _ : state) {
        lilv_instance_run(instance, kBlock);
        benchmark::DoNotOptimize(out.data());
    }
    reportPerFrame(state);
    lilv_instance_deactivate(instance);
    lilv_instance_free(instance);
    lilv_world_free(world);
}

#define BASE "https://vorsa-audio.example/plugins/"
BENCHMARK_CAPTURE(BM_Vst2Path, GlintorStereo, "Vorsa_Glintor");
BENCHMARK_CAPTURE(BM_Lv2Path, GlintorStereo, BASE "glintor");
BENCHMARK_CAPTURE(BM_Vst2Path, GlintorMono, "Vorsa_Glintor_Mono");
BENCHMARK_CAPTURE(BM_Lv2Path, GlintorMono, BASE "glintor-mono");
BENCHMARK_CAPTURE(BM_Vst2Path, RumblorStereo, "Vorsa_RUMBLOR");
BENCHMARK_CAPTURE(BM_Lv2Path, RumblorStereo, BASE "rumblor");
BENCHMARK_CAPTURE(BM_Vst2Path, RumblorMono, "Vorsa_RUMBLOR_Mono");
BENCHMARK_CAPTURE(BM_Lv2Path, RumblorMono, BASE "rumblor-mono");

}  // namespace

BENCHMARK_MAIN();
