// The built CLAP file as a host meets it: its entry, factory and descriptor, every
// parameter's texts against the VST library's, processing with events at their offsets
// bit for bit against the VST library, the state between instances, and calls a host makes
// in the wrong order or on the wrong thread.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "KrvVersion.h"
#include "effect/Parameters.h"
#include "hosting/RecordingHost.h"
#include "support/ClapTestHost.h"

namespace {

constexpr uint32_t kIds[] = {0, 2, 4, 5, 6};

const clap_plugin_params* params(const clap_plugin* plugin) {
    return static_cast<const clap_plugin_params*>(plugin->get_extension(plugin, CLAP_EXT_PARAMS));
}

const clap_plugin_state* state(const clap_plugin* plugin) {
    return static_cast<const clap_plugin_state*>(plugin->get_extension(plugin, CLAP_EXT_STATE));
}

std::vector<double> values(const clap_plugin* plugin) {
    std::vector<double> result;
    for (uint32_t id : kIds) {
        double v = -1;
        EXPECT_TRUE(params(plugin)->get_value(plugin, id, &v));
        result.push_back(v);
    }
    return result;
}

class ClapPluginTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        library = ClapLibrary::open(KRV_CLAP_PATH, error);
        ASSERT_TRUE(library) << error;
        vstLibrary = PluginLibrary::open(KRV_PLUGIN_PATH, error);
        ASSERT_TRUE(vstLibrary) << error;
    }
    void TearDown() override {
        for (const clap_plugin* plugin : made) plugin->destroy(plugin);
        made.clear();
    }
    const clap_plugin* make(ClapTestHost& host) {
        const clap_plugin* plugin = host.create(*library);
        if (plugin) made.push_back(plugin);
        return plugin;
    }
    void destroy(const clap_plugin* plugin) {
        made.erase(std::find(made.begin(), made.end(), plugin));
        plugin->destroy(plugin);
    }
    std::unique_ptr<HostedEffect> makeVst() {
        std::string error;
        auto effect = HostedEffect::create(*vstLibrary, vstHost, error);
        EXPECT_TRUE(effect) << error;
        return effect;
    }
    std::unique_ptr<ClapLibrary> library;
    std::unique_ptr<PluginLibrary> vstLibrary;
    RecordingHost vstHost;
    std::vector<const clap_plugin*> made;
};

// A stream over a string, moving at most `step` bytes per call as hosts may.
struct Stream {
    std::string bytes;
    size_t at = 0;
    size_t step = 1;
    bool failing = false;
    clap_ostream out{this, [](const clap_ostream* s, const void* buffer, uint64_t size) -> int64_t {
                         auto* self = static_cast<Stream*>(s->ctx);
                         if (self->failing) return -1;
                         size_t n = std::min<size_t>(size, self->step);
                         self->bytes.append(static_cast<const char*>(buffer), n);
                         return static_cast<int64_t>(n);
                     }};
    clap_istream in{this, [](const clap_istream* s, void* buffer, uint64_t size) -> int64_t {
                        auto* self = static_cast<Stream*>(s->ctx);
                        size_t n = std::min<size_t>({size, self->step, self->bytes.size() - self->at});
                        std::memcpy(buffer, self->bytes.data() + self->at, n);
                        self->at += n;
                        return static_cast<int64_t>(n);
                    }};
};

TEST_F(ClapPluginTest, EntryFactoryDescriptorAndEveryParameterShowTheVstLibrarysTexts) {
    const clap_plugin_factory* factory = &library->factory();
    EXPECT_EQ(library->entryPoint().get_factory("no.such.factory"), nullptr);
    ASSERT_EQ(factory->get_plugin_count(factory), 1u);
    EXPECT_EQ(factory->get_plugin_descriptor(factory, 1), nullptr);
    const clap_plugin_descriptor* d = factory->get_plugin_descriptor(factory, 0);
    ASSERT_TRUE(d);
    EXPECT_STREQ(d->id, "com.krv-soundlab.tarnwick");
    EXPECT_STREQ(d->name, "KRV tarnwick");
    EXPECT_STREQ(d->vendor, "krv-soundlab.com");
    EXPECT_STREQ(d->version, KRV_VERSION_TEXT);
    std::set<std::string> features;
    for (const char* const* f = d->features; *f; ++f) features.insert(*f);
    EXPECT_EQ(features, (std::set<std::string>{"audio-effect", "compressor", "stereo"}));

    // A scanner offers no extension at all: the plug-in still starts.
    ClapTestHost scanner(ClapTestHost::Offer::Nothing);
    EXPECT_TRUE(make(scanner));
    EXPECT_EQ(factory->create_plugin(factory, scanner.record(), "other.id"),
              nullptr);

    ClapTestHost host;
    const clap_plugin* plugin = make(host);
    ASSERT_TRUE(plugin);
    EXPECT_EQ(plugin->get_extension(plugin, "clap.no-such-extension"), nullptr);
    const clap_plugin_params* p = params(plugin);
    ASSERT_TRUE(p);
    ASSERT_EQ(p->count(plugin), 5u);
    clap_param_info info{};
    EXPECT_FALSE(p->get_info(plugin, 5, &info));
    EXPECT_FALSE(p->get_info(plugin, 0, nullptr));
    auto vst = makeVst();
    for (uint32_t position = 0; position < 5; ++position) {
        ASSERT_TRUE(p->get_info(plugin, position, &info));
        const uint32_t id = kIds[position];
        SCOPED_TRACE(info.name);
        EXPECT_EQ(info.id, id);
        EXPECT_EQ(std::string(info.name), vst->parameterName(static_cast<VstInt32>(id)));
        const bool enumerated = id == parameters::kProcess || id == parameters::kRatio;
        const int positions = parameters::positions(static_cast<int32_t>(id));
        EXPECT_EQ(info.flags, CLAP_PARAM_IS_AUTOMATABLE |
                                  (enumerated ? CLAP_PARAM_IS_STEPPED | CLAP_PARAM_IS_ENUM : 0u));
        EXPECT_EQ(info.min_value, 0.0);
        EXPECT_EQ(info.max_value, enumerated ? positions - 1 : 1.0);
        double now = -1;
        ASSERT_TRUE(p->get_value(plugin, id, &now));
        EXPECT_EQ(info.default_value, now);
        // Every position: the text the VST library shows, and the same value back from it.
        for (int k = 0; k < positions; ++k) {
            const float normalised = static_cast<float>(k / double(positions - 1));
            const double value = enumerated ? k : normalised;
            vst->setParameter(static_cast<VstInt32>(id), normalised);
            char text[64] = "";
            ASSERT_TRUE(p->value_to_text(plugin, id, value, text, sizeof(text)));
            EXPECT_EQ(std::string(text), vst->parameterDisplay(static_cast<VstInt32>(id)));
            double back = -1;
            ASSERT_TRUE(p->text_to_value(plugin, id, text, &back)) << text;
            EXPECT_EQ(back, value) << text;
        }
        char tiny[3];
        ASSERT_TRUE(p->value_to_text(plugin, id, info.max_value, tiny, sizeof(tiny)));
        EXPECT_EQ(std::strlen(tiny), 2u);
        double untouched = 42;
        EXPECT_FALSE(p->text_to_value(plugin, id, "banana", &untouched));
        EXPECT_EQ(untouched, 42);
    }
    double value = 0;
    EXPECT_FALSE(p->get_value(plugin, 1, &value));  // inactive: absent
    EXPECT_FALSE(p->text_to_value(plugin, 6, nullptr, &value));
    EXPECT_TRUE(p->text_to_value(plugin, 6, " 12.5 dB ", &value));
    EXPECT_EQ(value, static_cast<float>(25.0 / 60.0));
    EXPECT_TRUE(p->text_to_value(plugin, 2, "valve", &value) == false);
    EXPECT_TRUE(p->text_to_value(plugin, 0, "valve", &value));
    EXPECT_EQ(value, 2.0);

    const auto* latency =
        static_cast<const clap_plugin_latency*>(plugin->get_extension(plugin, CLAP_EXT_LATENCY));
    ASSERT_TRUE(latency);
    EXPECT_EQ(latency->get(plugin), 0u);
    const auto* ports = static_cast<const clap_plugin_audio_ports*>(
        plugin->get_extension(plugin, CLAP_EXT_AUDIO_PORTS));
    ASSERT_TRUE(ports);
    for (bool input : {true, false}) {
        ASSERT_EQ(ports->count(plugin, input), 1u);
        clap_audio_port_info port{};
        ASSERT_TRUE(ports->get(plugin, 0, input, &port));
        EXPECT_EQ(port.channel_count, 2u);
        EXPECT_STREQ(port.port_type, "stereo");
        EXPECT_TRUE(port.flags & CLAP_AUDIO_PORT_SUPPORTS_64BITS);
        EXPECT_FALSE(ports->get(plugin, 1, input, &port));
    }
}

template <typename Sample>
struct Stereo {
    std::vector<Sample> left, right;
};

template <typename Sample>
Stereo<Sample> drums(int frames) {
    std::mt19937 random(11);
    std::uniform_real_distribution<double> noise(-1.0, 1.0);
    Stereo<Sample> s{std::vector<Sample>(frames), std::vector<Sample>(frames)};
    for (int i = 0; i < frames; ++i) {
        double t = (i % 9000) / 48000.0;
        double hit = std::exp(-t * 25.0) * std::sin(2 * M_PI * 70.0 * t);
        s.left[i] = static_cast<Sample>(0.9 * hit + 0.05 * noise(random));
        s.right[i] = static_cast<Sample>(0.5 * hit + 0.08 * noise(random));
    }
    return s;
}

// A parameter change at a sample: id and the normalised value both libraries are given.
struct Change {
    int at;
    uint32_t id;
    float normalised;
};

double clapValue(uint32_t id, float normalised) {
    if (id == parameters::kProcess || id == parameters::kRatio)
        return std::nearbyint(normalised * (parameters::positions(static_cast<int32_t>(id)) - 1));
    return normalised;
}

template <typename Sample>
void compareWithVst(const clap_plugin* plugin,
                    std::unique_ptr<HostedEffect> vst) {
    const int frames = 48000, block = 480;
    const Stereo<Sample> input = drums<Sample>(frames);
    // The first four before processing; the rest inside blocks, one on a block's last sample.
    const std::vector<Change> changes = {
        {0, 0, 0.5f},     {0, 2, 4 / 6.0f},  {0, 5, 0.7f},     {0, 6, 0.3f},
        {1000, 5, 0.9f},  {5003, 0, 1.0f},   {9599, 2, 1.0f},  {20000, 4, 0.8f},
        {20000, 6, 0.55f}, {33333, 0, 0.0f}, {40000, 0, 0.5f}, {47999, 5, 0.2f},
    };
    // The VST library: values set between the pieces of each block.
    Stereo<Sample> expected{std::vector<Sample>(frames), std::vector<Sample>(frames)};
    vst->dispatch(effSetSampleRate, 0, 0, nullptr, 48000.0f);
    vst->dispatch(effSetBlockSize, 0, block);
    size_t next = 0;
    while (next < changes.size() && changes[next].at == 0) {
        vst->setParameter(static_cast<VstInt32>(changes[next].id), changes[next].normalised);
        ++next;
    }
    vst->dispatch(effMainsChanged, 0, 1);
    for (int start = 0; start < frames; start += block) {
        int done = start;
        const auto run = [&](int to) {
            if (to <= done) return;
            Sample* in[2] = {const_cast<Sample*>(&input.left[done]), const_cast<Sample*>(&input.right[done])};
            Sample* out[2] = {&expected.left[done], &expected.right[done]};
            if constexpr (sizeof(Sample) == 4)
                vst->effect()->processReplacing(vst->effect(), in, out, to - done);
            else
                vst->effect()->processDoubleReplacing(vst->effect(), in, out, to - done);
            done = to;
        };
        while (next < changes.size() && changes[next].at < start + block) {
            run(changes[next].at);
            vst->setParameter(static_cast<VstInt32>(changes[next].id), changes[next].normalised);
            ++next;
        }
        run(start + block);
    }

    // The CLAP plug-in: the first values through a flush while inactive, the rest as events.
    const auto* p = params(plugin);
    ClapEventList before;
    next = 0;
    while (next < changes.size() && changes[next].at == 0) {
        before.addValue(0, changes[next].id, clapValue(changes[next].id, changes[next].normalised));
        ++next;
    }
    p->flush(plugin, before.input(), before.output());
    ASSERT_TRUE(plugin->activate(plugin, 48000.0, 1, block));
    ASSERT_TRUE(plugin->start_processing(plugin));
    Stereo<Sample> output{std::vector<Sample>(frames), std::vector<Sample>(frames)};
    for (int start = 0; start < frames; start += block) {
        ClapEventList events;
        while (next < changes.size() && changes[next].at < start + block) {
            events.addValue(static_cast<uint32_t>(changes[next].at - start), changes[next].id,
                            clapValue(changes[next].id, changes[next].normalised));
            ++next;
        }
        Sample* in[2] = {const_cast<Sample*>(&input.left[start]), const_cast<Sample*>(&input.right[start])};
        Sample* out[2] = {&output.left[start], &output.right[start]};
        clap_audio_buffer inBuffer{}, outBuffer{};
        inBuffer.channel_count = outBuffer.channel_count = 2;
        if constexpr (sizeof(Sample) == 4) {
            inBuffer.data32 = in;
            outBuffer.data32 = out;
        } else {
            inBuffer.data64 = in;
            outBuffer.data64 = out;
        }
        clap_process process{};
        process.steady_time = start;
        process.frames_count = block;
        process.audio_inputs = &inBuffer;
        process.audio_outputs = &outBuffer;
        process.audio_inputs_count = process.audio_outputs_count = 1;
        process.in_events = events.input();
        process.out_events = events.output();
        ASSERT_EQ(plugin->process(plugin, &process), CLAP_PROCESS_CONTINUE);
        // Host changes are never echoed back.
        EXPECT_TRUE(events.sent.empty());
    }
    plugin->stop_processing(plugin);
    plugin->deactivate(plugin);
    EXPECT_EQ(0, std::memcmp(output.left.data(), expected.left.data(), frames * sizeof(Sample)));
    EXPECT_EQ(0, std::memcmp(output.right.data(), expected.right.data(), frames * sizeof(Sample)));
    // Not silence, and the changes made a difference.
    EXPECT_NE(output.left[30000], Sample(0));
    EXPECT_NE(output.left[10000], input.left[10000]);
}

TEST_F(ClapPluginTest, OutputEqualsTheVstLibrarysBitForBitWithChangesAtTheirSamples) {
    for (int precision : {32, 64}) {
        SCOPED_TRACE(precision);
        ClapTestHost host;
        const clap_plugin* plugin = make(host);
        ASSERT_TRUE(plugin);
        if (precision == 32)
            compareWithVst<float>(plugin, makeVst());
        else
            compareWithVst<double>(plugin, makeVst());
    }
}

TEST_F(ClapPluginTest, StateTravelsWholeBetweenInstancesAndBadStateChangesNothing) {
    ClapTestHost host;
    const clap_plugin* a = make(host);
    ASSERT_TRUE(a);
    ClapEventList changes;
    changes.addValue(0, 0, 2.0);
    changes.addValue(0, 2, 1.0);
    changes.addValue(0, 4, 0.25);
    changes.addValue(0, 5, 0.123456789);
    changes.addValue(0, 6, 0.9);
    params(a)->flush(a, changes.input(), changes.output());
    Stream saved;
    saved.step = 100;
    ASSERT_TRUE(state(a)->save(a, &saved.out));
    EXPECT_EQ(saved.bytes.size(), 2388u);
    EXPECT_EQ(saved.bytes.substr(0, 4), "KRVS");

    const clap_plugin* b = make(host);
    ASSERT_TRUE(b);
    const std::vector<double> fresh = values(b);
    const auto refused = [&](const std::string& bytes) {
        Stream stream;
        stream.bytes = bytes;
        stream.step = 7;
        return !state(b)->load(b, &stream.in);
    };
    EXPECT_TRUE(refused(""));
    EXPECT_TRUE(refused(saved.bytes.substr(0, saved.bytes.size() - 1)));
    EXPECT_TRUE(refused(saved.bytes + '\0'));
    std::string version2 = saved.bytes;
    version2[4] = 2;
    EXPECT_TRUE(refused(version2));
    std::mt19937 random(3);
    std::string noise(saved.bytes.size(), '\0');
    for (char& c : noise) c = static_cast<char>(random());
    EXPECT_TRUE(refused(noise));
    EXPECT_EQ(values(b), fresh);
    EXPECT_EQ(host.rescans, 0);

    Stream good;
    good.bytes = saved.bytes;
    good.step = 7;
    ASSERT_TRUE(state(b)->load(b, &good.in));
    EXPECT_EQ(values(b), values(a));
    EXPECT_EQ(values(b)[3], static_cast<float>(0.123456789));
    EXPECT_EQ(host.rescans, 0);  // the host loaded it: nothing to tell
    Stream again;
    ASSERT_TRUE(state(b)->save(b, &again.out));
    EXPECT_EQ(again.bytes, saved.bytes);

    Stream failing;
    failing.failing = true;
    EXPECT_FALSE(state(b)->save(b, &failing.out));
    EXPECT_FALSE(state(b)->save(b, nullptr));
    EXPECT_FALSE(state(b)->load(b, nullptr));
    // State belongs to the main thread.
    host.threadIsMain = false;
    Stream other;
    EXPECT_FALSE(state(b)->save(b, &other.out));
    host.threadIsMain = true;
}

TEST_F(ClapPluginTest, CallsInTheWrongOrderOrOnTheWrongThreadAreRefused) {
    ClapTestHost host;
    const clap_plugin* plugin = make(host);
    ASSERT_TRUE(plugin);
    float left[64] = {}, right[64] = {};
    float* channels[2] = {left, right};
    clap_audio_buffer buffer{channels, nullptr, 2, 0, 0};
    clap_process process{};
    process.frames_count = 64;
    process.audio_inputs = &buffer;
    process.audio_outputs = &buffer;
    process.audio_inputs_count = process.audio_outputs_count = 1;
    EXPECT_EQ(plugin->process(plugin, &process), CLAP_PROCESS_ERROR);
    EXPECT_FALSE(plugin->start_processing(plugin));
    EXPECT_FALSE(plugin->activate(plugin, 0.0, 1, 64));
    EXPECT_FALSE(plugin->activate(plugin, std::nan(""), 1, 64));
    host.threadIsMain = false;
    EXPECT_FALSE(plugin->activate(plugin, 48000.0, 1, 64));
    host.threadIsMain = true;
    ASSERT_TRUE(plugin->activate(plugin, 48000.0, 1, 64));
    EXPECT_FALSE(plugin->activate(plugin, 48000.0, 1, 64));
    EXPECT_EQ(plugin->process(plugin, &process), CLAP_PROCESS_ERROR);  // not started
    ASSERT_TRUE(plugin->start_processing(plugin));
    EXPECT_EQ(plugin->process(plugin, nullptr), CLAP_PROCESS_ERROR);
    process.frames_count = 65;  // more than activate allowed
    EXPECT_EQ(plugin->process(plugin, &process), CLAP_PROCESS_ERROR);
    process.frames_count = 64;
    process.audio_inputs_count = process.audio_outputs_count = 0;  // no ports: still runs
    EXPECT_EQ(plugin->process(plugin, &process), CLAP_PROCESS_CONTINUE);
    plugin->deactivate(plugin);  // while processing: ignored
    EXPECT_FALSE(plugin->activate(plugin, 48000.0, 1, 64));
    plugin->stop_processing(plugin);
    plugin->deactivate(plugin);
    EXPECT_TRUE(plugin->activate(plugin, 44100.0, 1, 64));
    plugin->deactivate(plugin);

    const auto* gui = static_cast<const clap_plugin_gui*>(plugin->get_extension(plugin, CLAP_EXT_GUI));
    ASSERT_TRUE(gui);
    clap_window window{CLAP_WINDOW_API_X11, {}};
    window.uptr = 0;
    EXPECT_FALSE(gui->set_parent(plugin, &window));  // before create
    EXPECT_FALSE(gui->create(plugin, "cocoa", false));
#ifdef _WIN32
    const char* api = CLAP_WINDOW_API_WIN32;
#else
    const char* api = CLAP_WINDOW_API_X11;
#endif
    EXPECT_FALSE(gui->create(plugin, api, true));  // floating windows are not offered
    EXPECT_FALSE(gui->set_scale(plugin, std::nan("")));
    EXPECT_FALSE(gui->set_scale(plugin, -1.0));
    uint32_t width = 0, height = 0;
    ASSERT_TRUE(gui->get_size(plugin, &width, &height));
    EXPECT_EQ(width, 400u);
    EXPECT_EQ(height, 309u);
    EXPECT_FALSE(gui->get_size(plugin, nullptr, &height));
    ASSERT_TRUE(gui->create(plugin, api, false));
    EXPECT_FALSE(gui->create(plugin, api, false));  // only once
    window.api = api;
    EXPECT_FALSE(gui->set_parent(plugin, &window));  // no window
    EXPECT_FALSE(gui->set_parent(plugin, nullptr));
    gui->destroy(plugin);
    gui->destroy(plugin);
    EXPECT_TRUE(host.timers.empty());
    EXPECT_TRUE(host.descriptors.empty());
}

}  // namespace
