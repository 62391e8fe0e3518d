// The built LV2 bundle as a lilv-based host meets it: loaded from the build folder,
// instantiated with no features and with urid:map, run in blocks of 1, 64 and 1024 (also in
// place) against the VST library bit for bit, the state between instances, the program
// store's table, the factory presets read back from the Turtle files, run() under the
// real-time trap, and lv2apply against krv-process.
#include <gtest/gtest.h>

#include <dlfcn.h>
#include <lilv/lilv.h>
#include <lv2/atom/atom.h>
#include <lv2/presets/presets.h>
#include <lv2/state/state.h>
#include <lv2/urid/urid.h>
#include <sndfile.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "effect/HostValues.h"
#include "hosting/RecordingHost.h"
#include "lv2-plugin/Lv2Ports.h"
#include "lv2-plugin/StoreAccess.h"
#include "lv2/RealTimeTrap.h"
#include "presets/FactoryPresets.h"
#include "presets/FileErrors.h"
#include "presets/StateBlob.h"
#include "support/TemporaryFolder.h"

namespace {

using namespace lv2front;
constexpr double kRate = 48000.0;
constexpr size_t kFrames = 16384 + 100;

struct UridMap {
    std::vector<std::string> uris;
    LV2_URID_Map map{this, [](LV2_URID_Map_Handle handle, const char* uri) -> LV2_URID {
                         auto& uris = static_cast<UridMap*>(handle)->uris;
                         for (size_t i = 0; i < uris.size(); ++i)
                             if (uris[i] == uri) return static_cast<LV2_URID>(i + 1);
                         uris.emplace_back(uri);
                         return static_cast<LV2_URID>(uris.size());
                     }};
    LV2_Feature feature{LV2_URID__map, &map};
    const LV2_Feature* features[2] = {&feature, nullptr};
    LV2_URID id(const char* uri) { return map.map(this, uri); }
};

// A host's state store: values by key, copied as hosts must.
struct StateStore {
    struct Value {
        std::string bytes;
        uint32_t type, flags;
    };
    std::map<uint32_t, Value> values;
    static LV2_State_Status store(LV2_State_Handle handle, uint32_t key, const void* value,
                                  size_t size, uint32_t type, uint32_t flags) {
        static_cast<StateStore*>(handle)->values[key] = {
            std::string(static_cast<const char*>(value), size), type, flags};
        return LV2_STATE_SUCCESS;
    }
    static const void* retrieve(LV2_State_Handle handle, uint32_t key, size_t* size,
                                uint32_t* type, uint32_t* flags) {
        auto& values = static_cast<StateStore*>(handle)->values;
        auto found = values.find(key);
        if (found == values.end()) return nullptr;
        *size = found->second.bytes.size();
        *type = found->second.type;
        *flags = found->second.flags;
        return found->second.bytes.data();
    }
};

struct Stereo {
    std::vector<float> left, right;
    explicit Stereo(size_t frames = kFrames) : left(frames), right(frames) {}
};

// Bursts of tone and noise, well under full scale so that nothing clips on the way out.
Stereo testSignal() {
    Stereo s;
    uint32_t noise = 12345;
    for (size_t i = 0; i < kFrames; ++i) {
        noise = noise * 1664525u + 1013904223u;
        const double n = (noise >> 8) / double(1 << 24) - 0.5;
        const double envelope = (i / 3000) % 2 ? 0.25 : 0.02;
        s.left[i] = static_cast<float>(envelope * (std::sin(i * 0.031) + 0.3 * n));
        s.right[i] = static_cast<float>(envelope * (std::sin(i * 0.017 + 1.0) - 0.3 * n));
    }
    return s;
}

struct Change {
    size_t at;  // a multiple of every block size tried
    int32_t index;
    float normalised;
};
const FactoryPreset& pump = kFactoryPresets[14];
const Change kChanges[] = {
    {0, parameters::kProcess, pump.process},         {0, parameters::kRatio, pump.ratio},
    {0, parameters::kTime, pump.time},               {0, parameters::kCompression, pump.compression},
    {0, parameters::kOutput, pump.output},           {4096, parameters::kOutput, 0.35f},
    {4096, parameters::kRatio, static_cast<float>(6 / 6.0)}, {8192, parameters::kProcess, 0.5f},
    {12288, parameters::kTime, 0.12f},               {12288, parameters::kCompression, 0.9f},
};

uint32_t portOf(int32_t index) {
    for (const ControlPort& control : kControls)
        if (control.parameter == index) return control.port;
    return kNumPorts;
}

class Lv2PluginTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        world = lilv_world_new();
        LilvNode* bundle = lilv_new_file_uri(world, nullptr, KRV_LV2_BUNDLE "/");
        lilv_world_load_bundle(world, bundle);
        lilv_node_free(bundle);
        LilvNode* uri = lilv_new_uri(world, kPluginUri);
        plugin = lilv_plugins_get_by_uri(lilv_world_get_all_plugins(world), uri);
        lilv_node_free(uri);
    }
    static void TearDownTestSuite() { lilv_world_free(world); }
    void SetUp() override {
        ASSERT_TRUE(plugin) << "no plug-in " << kPluginUri << " in " KRV_LV2_BUNDLE;
        std::string error;
        vstLibrary = PluginLibrary::open(KRV_PLUGIN_PATH, error);
        ASSERT_TRUE(vstLibrary) << error;
    }

    // One instance with its control ports at the bundle's defaults.
    struct Dsp {
        LilvInstance* instance = nullptr;
        float ports[kNumPorts] = {};
        ~Dsp() {
            if (instance) lilv_instance_free(instance);
        }
        void* handle() const { return lilv_instance_get_handle(instance); }
        const LV2_State_Interface* state() const {
            return static_cast<const LV2_State_Interface*>(
                lilv_instance_get_extension_data(instance, LV2_STATE__interface));
        }
        const KrvStoreAccess* store() const {
            return static_cast<const KrvStoreAccess*>(
                lilv_instance_get_extension_data(instance, kStoreAccessUri));
        }
        void set(int32_t index, float normalised) {
            ports[portOf(index)] = static_cast<float>(parameters::hostValue(index, normalised));
        }
    };
    std::unique_ptr<Dsp> make(const LV2_Feature* const* features) {
        auto dsp = std::make_unique<Dsp>();
        dsp->instance = lilv_plugin_instantiate(plugin, kRate, features);
        EXPECT_TRUE(dsp->instance);
        if (!dsp->instance) return nullptr;
        float defaults[kNumPorts];
        lilv_plugin_get_port_ranges_float(plugin, nullptr, nullptr, defaults);
        for (const ControlPort& control : kControls) {
            dsp->ports[control.port] = defaults[control.port];
            lilv_instance_connect_port(dsp->instance, control.port, &dsp->ports[control.port]);
        }
        lilv_instance_connect_port(dsp->instance, kMeter, &dsp->ports[kMeter]);
        return dsp;
    }

    Stereo renderVst(const Stereo& input) {
        RecordingHost host;
        std::string error;
        auto vst = HostedEffect::create(*vstLibrary, host, error);
        EXPECT_TRUE(vst) << error;
        Stereo output;
        if (!vst) return output;
        vst->dispatch(effSetSampleRate, 0, 0, nullptr, static_cast<float>(kRate));
        vst->dispatch(effSetBlockSize, 0, 1024);
        // As a host does: the first values before resuming, the rest between blocks.
        for (const Change& c : kChanges)
            if (c.at == 0) vst->setParameter(c.index, c.normalised);
        vst->dispatch(effMainsChanged, 0, 1);
        for (size_t done = 0; done < kFrames; done += 1024) {
            for (const Change& c : kChanges)
                if (c.at == done && done > 0) vst->setParameter(c.index, c.normalised);
            const auto n = static_cast<VstInt32>(std::min<size_t>(1024, kFrames - done));
            float* in[2] = {const_cast<float*>(&input.left[done]), const_cast<float*>(&input.right[done])};
            float* out[2] = {&output.left[done], &output.right[done]};
            vst->effect()->processReplacing(vst->effect(), in, out, n);
        }
        return output;
    }

    // The input through one instance in blocks of `block`; in place: each channel's output
    // buffer is its input buffer.
    Stereo renderLv2(Dsp& dsp, const Stereo& input, size_t block, bool inPlace) {
        Stereo output;
        Stereo in = input;
        Stereo& out = inPlace ? in : output;
        lilv_instance_activate(dsp.instance);
        for (size_t done = 0; done < kFrames; done += block) {
            for (const Change& c : kChanges)
                if (c.at == done) dsp.set(c.index, c.normalised);
            lilv_instance_connect_port(dsp.instance, kInLeft, &in.left[done]);
            lilv_instance_connect_port(dsp.instance, kInRight, &in.right[done]);
            lilv_instance_connect_port(dsp.instance, kOutLeft, &out.left[done]);
            lilv_instance_connect_port(dsp.instance, kOutRight, &out.right[done]);
            lilv_instance_run(dsp.instance, static_cast<uint32_t>(std::min(block, kFrames - done)));
        }
        lilv_instance_deactivate(dsp.instance);
        return out;
    }

    static LilvWorld* world;
    static const LilvPlugin* plugin;
    std::unique_ptr<PluginLibrary> vstLibrary;
    UridMap urids;
};
LilvWorld* Lv2PluginTest::world = nullptr;
const LilvPlugin* Lv2PluginTest::plugin = nullptr;

void expectSameBits(const Stereo& a, const Stereo& b) {
    ASSERT_EQ(a.left.size(), b.left.size());
    EXPECT_EQ(0, std::memcmp(a.left.data(), b.left.data(), a.left.size() * sizeof(float)));
    EXPECT_EQ(0, std::memcmp(a.right.data(), b.right.data(), a.right.size() * sizeof(float)));
}

TEST_F(Lv2PluginTest, RunsAsTheVstLibraryBitForBitInAnyBlockWithOrWithoutFeatures) {
    const Stereo input = testSignal();
    const Stereo expected = renderVst(input);
    double change = 0;
    for (size_t i = 0; i < kFrames; ++i) change += std::fabs(expected.left[i] - input.left[i]);
    ASSERT_GT(change, 1.0) << "the settings must change the signal";
    const LV2_Feature* none[] = {nullptr};
    for (const LV2_Feature* const* features : {static_cast<const LV2_Feature* const*>(none),
                                               static_cast<const LV2_Feature* const*>(urids.features)}) {
        for (size_t block : {1, 64, 1024}) {
            for (bool inPlace : {false, true}) {
                SCOPED_TRACE("block " + std::to_string(block) + (inPlace ? " in place" : "") +
                             (features == none ? " without features" : " with urid:map"));
                auto dsp = make(features);
                ASSERT_TRUE(dsp);
                expectSameBits(renderLv2(*dsp, input, block, inPlace), expected);
                // Compressing: the meter shows a reduction.
                EXPECT_GT(dsp->ports[kMeter], 0.0f);
                EXPECT_LT(dsp->ports[kMeter], 1.0f);
            }
        }
    }
    // Unconnected audio, empty blocks and a missing right output change nothing else.
    auto dsp = make(none);
    ASSERT_TRUE(dsp);
    lilv_instance_activate(dsp->instance);
    lilv_instance_run(dsp->instance, 0);
    lilv_instance_run(dsp->instance, 1);
    std::vector<float> left(300, 0.1f), right(300, -5.0f);
    lilv_instance_connect_port(dsp->instance, kInLeft, left.data());
    lilv_instance_connect_port(dsp->instance, kOutLeft, left.data());
    lilv_instance_run(dsp->instance, 300);
    EXPECT_TRUE(std::isfinite(left[299]));
    EXPECT_EQ(right[0], -5.0f);
    lilv_instance_deactivate(dsp->instance);
}

TEST_F(Lv2PluginTest, StateMovesBetweenInstancesAndForeignBytesAreRefusedWhole) {
    auto first = make(urids.features);
    auto second = make(urids.features);
    ASSERT_TRUE(first && second && first->state() && first->store());
    const KrvStoreAccess& table = *first->store();
    EXPECT_EQ(table.version, 2u);
    table.selectProgram(first->handle(), 12);
    table.renameProgram(first->handle(), "Renamed by the test");

    StateStore saved;
    ASSERT_EQ(first->state()->save(first->handle(), StateStore::store, &saved, 0, nullptr),
              LV2_STATE_SUCCESS);
    const uint32_t key = urids.id(kStateKeyUri);
    ASSERT_EQ(saved.values.size(), 1u);
    const StateStore::Value& blob = saved.values.at(key);
    EXPECT_EQ(blob.type, urids.id(LV2_ATOM__Chunk));
    EXPECT_EQ(blob.flags, uint32_t(LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE));
    EXPECT_EQ(blob.bytes.size(), stateblob::kSize);

    auto saveOf = [](Dsp& dsp) {
        StateStore s;
        dsp.state()->save(dsp.handle(), StateStore::store, &s, 0, nullptr);
        return s.values.begin()->second.bytes;
    };
    const std::string fresh = saveOf(*second);
    // No key of ours (a preset's state): success, nothing changes.
    StateStore empty;
    EXPECT_EQ(second->state()->restore(second->handle(), StateStore::retrieve, &empty, 0, nullptr),
              LV2_STATE_SUCCESS);
    EXPECT_EQ(saveOf(*second), fresh);
    // A preset's program outside the factory's, or not an integer, is refused likewise.
    const uint32_t programKey = urids.id(kProgramKeyUri);
    const int32_t beyond = kNumPrograms;
    for (const StateStore::Value& program :
         {StateStore::Value{std::string(reinterpret_cast<const char*>(&beyond), 4),
                            urids.id(LV2_ATOM__Int), 0},
          StateStore::Value{"12", urids.id(LV2_ATOM__String), 0}}) {
        StateStore bad;
        bad.values[programKey] = program;
        EXPECT_NE(second->state()->restore(second->handle(), StateStore::retrieve, &bad, 0, nullptr),
                  LV2_STATE_SUCCESS);
        EXPECT_EQ(saveOf(*second), fresh);
    }
    // Foreign bytes and a wrong type are refused, and nothing changes.
    for (auto [bytes, type] : {std::pair(blob.bytes.substr(0, 100), blob.type),
                               std::pair("XXXX" + blob.bytes.substr(4), blob.type),
                               std::pair(blob.bytes, urids.id(LV2_ATOM__String))}) {
        StateStore bad;
        bad.values[key] = {bytes, type, blob.flags};
        EXPECT_NE(second->state()->restore(second->handle(), StateStore::retrieve, &bad, 0, nullptr),
                  LV2_STATE_SUCCESS);
        EXPECT_EQ(saveOf(*second), fresh);
    }
    ASSERT_EQ(second->state()->restore(second->handle(), StateStore::retrieve, &saved, 0, nullptr),
              LV2_STATE_SUCCESS);
    EXPECT_EQ(saveOf(*second), blob.bytes);
    char name[32] = "";
    ASSERT_TRUE(second->store()->programName(second->handle(), 12, name));
    EXPECT_STREQ(name, "Renamed by the test");
    EXPECT_EQ(second->store()->selectedProgram(second->handle()), 12);

    // After a restore the host's ports win for the five parameters: it writes them after
    // the state and saves both together.
    second->set(parameters::kOutput, 0.5f);
    lilv_instance_run(second->instance, 0);
    EXPECT_EQ(second->store()->parameterValue(second->handle(), parameters::kOutput), 0.5f);

    // Without urid:map there is nothing to save under.
    const LV2_Feature* none[] = {nullptr};
    auto bare = make(none);
    StateStore nothing;
    EXPECT_EQ(bare->state()->save(bare->handle(), StateStore::store, &nothing, 0, nullptr),
              LV2_STATE_ERR_NO_FEATURE);
    EXPECT_TRUE(nothing.values.empty());
}

TEST_F(Lv2PluginTest, StoreChangesOutliveRunUntilTheEditorEchoesThem) {
    auto dsp = make(urids.features);
    ASSERT_TRUE(dsp);
    const KrvStoreAccess& table = *dsp->store();
    void* handle = dsp->handle();
    lilv_instance_activate(dsp->instance);
    lilv_instance_run(dsp->instance, 0);
    const FactoryPreset& chosen = kFactoryPresets[9];
    table.selectProgram(handle, 9);
    EXPECT_EQ(table.selectedProgram(handle), 9);
    // The ports still hold the old values: run() must not put them back.
    lilv_instance_run(dsp->instance, 64);
    EXPECT_EQ(table.parameterValue(handle, parameters::kTime), chosen.time);
    EXPECT_EQ(table.parameterValue(handle, parameters::kRatio), chosen.ratio);
    // The editor's echo lands in the ports; a later host change applies as usual.
    for (const ControlPort& control : kControls)
        dsp->set(control.parameter, table.parameterValue(handle, control.parameter));
    lilv_instance_run(dsp->instance, 64);
    EXPECT_EQ(table.parameterValue(handle, parameters::kTime), chosen.time);
    dsp->set(parameters::kTime, 0.25f);
    lilv_instance_run(dsp->instance, 64);
    EXPECT_EQ(table.parameterValue(handle, parameters::kTime), 0.25f);
    lilv_instance_deactivate(dsp->instance);

    char name[32] = "";
    EXPECT_FALSE(table.programName(handle, 33, name));
    ASSERT_TRUE(table.programName(handle, 0, name));
    EXPECT_STREQ(name, chosen.name);

    // Files through the table; a refused one's message reaches the editor's sink.
    TemporaryFolder folder;
    ScopedEnvironment home("HOME", folder.path().c_str());
    ScopedEnvironment config("XDG_CONFIG_HOME", folder.file("config").c_str());
    EXPECT_TRUE(table.writeBank(handle, folder.path().c_str(), "all.fxb"));
    EXPECT_TRUE(table.writePreset(handle, folder.path().c_str(), "one.fxp"));
    EXPECT_TRUE(table.readPreset(handle, folder.path().c_str(), "one.fxp"));
    EXPECT_TRUE(table.readBank(handle, folder.path().c_str(), "all.fxb"));
    std::vector<std::string> messages;
    table.setMessageSink(handle, [](void* context, const char*, const char* text) {
        static_cast<std::vector<std::string>*>(context)->push_back(text);
    }, &messages);
    folder.write("foreign.fxb", std::string(300, 'x'));
    EXPECT_FALSE(table.readBank(handle, folder.path().c_str(), "foreign.fxb"));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(messages[0] == kInvalidFileMessage || messages[0] == kNotABankMessage)
        << messages[0];

    // The A/B memories: stored, changed, recalled.
    const float stored = table.parameterValue(handle, parameters::kTime);
    EXPECT_TRUE(table.storeMemory(handle, 1));
    table.selectProgram(handle, 3);
    ASSERT_NE(table.parameterValue(handle, parameters::kTime), stored);
    EXPECT_TRUE(table.recallMemory(handle, 1));
    EXPECT_EQ(table.parameterValue(handle, parameters::kTime), stored);
    EXPECT_FALSE(table.recallMemory(handle, 2));
}

TEST_F(Lv2PluginTest, DefaultsAndFactoryPresetsReadBackExactlyFromTheTurtleFiles) {
    RecordingHost host;
    std::string error;
    auto fresh = HostedEffect::create(*vstLibrary, host, error);
    ASSERT_TRUE(fresh) << error;
    float defaults[kNumPorts];
    lilv_plugin_get_port_ranges_float(plugin, nullptr, nullptr, defaults);
    for (const ControlPort& control : kControls)
        EXPECT_EQ(parameters::normalisedValue(control.parameter, defaults[control.port]),
                  fresh->getParameter(control.parameter)) << control.symbol;

    LilvNode* presetClass = lilv_new_uri(world, LV2_PRESETS__Preset);
    LilvNodes* presets = lilv_plugin_get_related(plugin, presetClass);
    EXPECT_EQ(lilv_nodes_size(presets), size_t(kNumPrograms - 1));
    int matched = 0;
    LILV_FOREACH (nodes, i, presets) {
        const LilvNode* preset = lilv_nodes_get(presets, i);
        lilv_world_load_resource(world, preset);
        LilvState* state = lilv_state_new_from_world(world, &urids.map, preset);
        ASSERT_TRUE(state);
        const std::string label = lilv_state_get_label(state);
        const FactoryPreset* factory = nullptr;
        for (int k = 1; k < kNumPrograms; ++k)
            if (label == kFactoryPresets[k].name) factory = &kFactoryPresets[k];
        ASSERT_TRUE(factory) << label;
        // As hosts take them: the lists' positions as integers, the rest as floats.
        struct Values {
            uint32_t intType, floatType;
            std::map<std::string, float> bySymbol;
        } values{urids.id(LV2_ATOM__Int), urids.id(LV2_ATOM__Float), {}};
        lilv_state_emit_port_values(state, [](const char* symbol, void* context, const void* value,
                                              uint32_t size, uint32_t type) {
            auto& v = *static_cast<Values*>(context);
            if (size != 4) return;
            if (type == v.intType) v.bySymbol[symbol] = float(*static_cast<const int32_t*>(value));
            if (type == v.floatType) v.bySymbol[symbol] = *static_cast<const float*>(value);
        }, &values);
        const float expected[] = {factory->process, factory->ratio, factory->time,
                                  factory->compression, factory->output};
        ASSERT_EQ(values.bySymbol.size(), size_t(kNumControls)) << label;
        for (uint32_t c = 0; c < kNumControls; ++c)
            EXPECT_EQ(parameters::normalisedValue(kControls[c].parameter,
                                                  values.bySymbol.at(kControls[c].symbol)),
                      expected[c]) << label << " " << kControls[c].symbol;

        // Applied as hosts apply a preset (the state, then the ports): the store selects
        // the preset's program, so the editor shows its name, and runs its values.
        auto dsp = make(urids.features);
        ASSERT_TRUE(dsp);
        struct Ports {
            Dsp* dsp;
            Values* types;
        } ports{dsp.get(), &values};
        lilv_state_restore(state, dsp->instance, [](const char* symbol, void* context,
                                                    const void* value, uint32_t size, uint32_t type) {
            auto& p = *static_cast<Ports*>(context);
            for (const ControlPort& control : kControls)
                if (size == 4 && std::strcmp(control.symbol, symbol) == 0)
                    p.dsp->ports[control.port] = type == p.types->intType
                                                     ? float(*static_cast<const int32_t*>(value))
                                                     : *static_cast<const float*>(value);
        }, &ports, 0, nullptr);
        lilv_instance_run(dsp->instance, 0);
        const int program = static_cast<int>(factory - kFactoryPresets);
        EXPECT_EQ(dsp->store()->selectedProgram(dsp->handle()), program) << label;
        char name[32] = "";
        ASSERT_TRUE(dsp->store()->programName(dsp->handle(), 0, name));
        EXPECT_EQ(label, name);
        for (uint32_t c = 0; c < kNumControls; ++c)
            EXPECT_EQ(dsp->store()->parameterValue(dsp->handle(), kControls[c].parameter),
                      expected[c]) << label << " " << kControls[c].symbol;
        lilv_state_free(state);
        ++matched;
    }
    EXPECT_EQ(matched, kNumPrograms - 1);
    lilv_nodes_free(presets);
    lilv_node_free(presetClass);
}

// Hosts list plug-ins by name and maker; every format must name the same ones.
TEST_F(Lv2PluginTest, NamesTheVstLibrarysNameAndMaker) {
    RecordingHost host;
    std::string error;
    auto vst = HostedEffect::create(*vstLibrary, host, error);
    ASSERT_TRUE(vst) << error;
    char vendor[256] = "", name[256] = "";
    vst->dispatch(effGetVendorString, 0, 0, vendor);
    vst->dispatch(effGetEffectName, 0, 0, name);
    LilvNode* author = lilv_plugin_get_author_name(plugin);
    LilvNode* title = lilv_plugin_get_name(plugin);
    ASSERT_TRUE(author && title);
    EXPECT_STREQ(lilv_node_as_string(author), vendor);
    EXPECT_STREQ(lilv_node_as_string(title), name);
    lilv_node_free(author);
    lilv_node_free(title);
}

TEST_F(Lv2PluginTest, RunNeitherAllocatesNorLocks) {
    if (std::getenv("KRV_NO_TRAP")) GTEST_SKIP() << "sanitizer builds bring their own allocator";
    auto begin = reinterpret_cast<KrvTrapBegin>(dlsym(RTLD_DEFAULT, "krv_trap_begin"));
    auto end = reinterpret_cast<KrvTrapEnd>(dlsym(RTLD_DEFAULT, "krv_trap_end"));
    ASSERT_TRUE(begin && end) << "run with LD_PRELOAD of the real-time trap";
    // The trap sees what it must see.
    // Through volatile pointers, so that the compiler cannot drop the pair.
    void* (*volatile allocate)(size_t) = std::malloc;
    void (*volatile release)(void*) = std::free;
    begin();
    release(allocate(16));
    KrvTrapCounts counts = end();
    ASSERT_EQ(counts.allocations, 1u);
    ASSERT_EQ(counts.releases, 1u);

    auto dsp = make(urids.features);
    ASSERT_TRUE(dsp);
    const Stereo input = testSignal();
    Stereo output;
    lilv_instance_connect_port(dsp->instance, kInLeft, const_cast<float*>(input.left.data()));
    lilv_instance_connect_port(dsp->instance, kInRight, const_cast<float*>(input.right.data()));
    lilv_instance_connect_port(dsp->instance, kOutLeft, output.left.data());
    lilv_instance_connect_port(dsp->instance, kOutRight, output.right.data());
    lilv_instance_activate(dsp->instance);
    begin();
    for (uint32_t block : {1u, 64u, 1024u, 0u}) {
        for (int k = 0; k < 20; ++k) {
            // Every parameter moves every block.
            for (const ControlPort& control : kControls)
                dsp->set(control.parameter, static_cast<float>((k * 7 + control.port) % 11) / 10.0f);
            lilv_instance_run(dsp->instance, block);
        }
    }
    counts = end();
    lilv_instance_deactivate(dsp->instance);
    EXPECT_EQ(counts.allocations, 0u);
    EXPECT_EQ(counts.releases, 0u);
    EXPECT_EQ(counts.locks, 0u);
}

// Float WAV files in and out, so that every bit of the output is kept.
bool writeWav(const std::string& path, const Stereo& s) {
    SF_INFO info{};
    info.samplerate = static_cast<int>(kRate);
    info.channels = 2;
    info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!file) return false;
    std::vector<float> frames;
    for (size_t i = 0; i < s.left.size(); ++i) frames.insert(frames.end(), {s.left[i], s.right[i]});
    const bool ok = sf_writef_float(file, frames.data(), sf_count_t(s.left.size())) ==
                    sf_count_t(s.left.size());
    return sf_close(file) == 0 && ok;
}

bool readWav(const std::string& path, Stereo& s) {
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (!file) return false;
    if (info.channels != 2 || (info.format & SF_FORMAT_SUBMASK) != SF_FORMAT_FLOAT) {
        sf_close(file);
        return false;
    }
    std::vector<float> frames(size_t(info.frames) * 2);
    sf_readf_float(file, frames.data(), info.frames);
    sf_close(file);
    s = Stereo(size_t(info.frames));
    for (size_t i = 0; i < s.left.size(); ++i) {
        s.left[i] = frames[2 * i];
        s.right[i] = frames[2 * i + 1];
    }
    return true;
}

TEST_F(Lv2PluginTest, Lv2applyRendersAsKrvProcessBitForBit) {
    if (std::getenv("KRV_NO_TRAP"))
        GTEST_SKIP() << "lv2apply cannot load a library built with the sanitizers";
    TemporaryFolder folder;
    ASSERT_TRUE(writeWav(folder.file("in.wav"), testSignal()));
    const FactoryPreset& p = kFactoryPresets[11];
    auto text = [](float v) {
        char t[32];
        std::snprintf(t, sizeof(t), "%.9g", static_cast<double>(v));
        return std::string(t);
    };
    auto port = [&](int32_t index, float v) {
        return text(static_cast<float>(parameters::hostValue(index, v)));
    };
    const std::string lv2 = "LV2_PATH=" KRV_LV2_PATH " lv2apply -i " + folder.file("in.wav") +
                            " -o " + folder.file("lv2.wav") + " -c process " +
                            port(parameters::kProcess, p.process) + " -c ratio " +
                            port(parameters::kRatio, p.ratio) + " -c time " + text(p.time) +
                            " -c compression " + text(p.compression) + " -c output " +
                            text(p.output) + " " + kPluginUri + " > /dev/null 2>&1";
    const std::string vst = KRV_PROCESS_PATH " --quiet --plugin " KRV_PLUGIN_PATH " --block 777"
                            " --set Process=" + text(p.process) + " --set Ratio=" + text(p.ratio) +
                            " --set Time=" + text(p.time) + " --set Compression=" +
                            text(p.compression) + " --set Output=" + text(p.output) + " " +
                            folder.file("in.wav") + " " + folder.file("vst.wav") + " 2> /dev/null";
    ASSERT_EQ(std::system(lv2.c_str()), 0) << lv2;
    ASSERT_EQ(std::system(vst.c_str()), 0) << vst;
    Stereo fromLv2, fromVst;
    ASSERT_TRUE(readWav(folder.file("lv2.wav"), fromLv2));
    ASSERT_TRUE(readWav(folder.file("vst.wav"), fromVst));
    ASSERT_EQ(fromLv2.left.size(), kFrames);
    expectSameBits(fromLv2, fromVst);
    Stereo input;
    ASSERT_TRUE(readWav(folder.file("in.wav"), input));
    EXPECT_NE(0, std::memcmp(input.left.data(), fromLv2.left.data(), kFrames * sizeof(float)));
}

}  // namespace
