#include "Renders.h"

#include <cstring>
#include <memory>

#include "effect/Parameters.h"
#include "hosting/Host.h"

namespace cross {

namespace {

constexpr int kFrames = 3 * 44100;

// A host that answers what an effect asks while processing and nothing else.
class QuietHost : public Host {
public:
    VstIntPtr answer(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) override {
        return opcode == audioMasterVersion ? kVstVersion : 0;
    }
};

// Drum-like bursts over noise: a xorshift generator scaled by an exact power of two, and
// envelopes made by repeated multiplication, so no library function shapes the input.
struct Input {
    std::vector<double> left, right;
};

Input makeInput() {
    Input input{std::vector<double>(kFrames), std::vector<double>(kFrames)};
    uint32_t state = 0x9E3779B9u;
    auto next = [&state] {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return double(int32_t(state)) * (1.0 / 2147483648.0);
    };
    double envelope = 0.0;
    for (int i = 0; i < kFrames; ++i) {
        if (i % 11025 == 0) envelope = (i / 11025) % 4 == 3 ? 1.6 : 0.9;  // a loud hit now and then
        envelope *= 0.99965;
        const double body = envelope * next();
        input.left[size_t(i)] = body + 0.02 * next();
        input.right[size_t(i)] = 0.7 * body + 0.02 * next();
    }
    return input;
}

template <typename Sample>
void process(AEffect* effect, Sample** in, Sample** out, VstInt32 frames);

template <>
void process<float>(AEffect* effect, float** in, float** out, VstInt32 frames) {
    effect->processReplacing(effect, in, out, frames);
}

template <>
void process<double>(AEffect* effect, double** in, double** out, VstInt32 frames) {
    effect->processDoubleReplacing(effect, in, out, frames);
}

template <typename Sample>
std::string renderAs(HostedEffect& effect, const Session& session) {
    const Input input = makeInput();
    const size_t block = size_t(session.blockSize);
    std::vector<Sample> inLeft(block), inRight(block), outLeft(block), outRight(block);
    Sample* in[2] = {inLeft.data(), inRight.data()};
    Sample* out[2] = {outLeft.data(), outRight.data()};
    std::string bytes;
    bytes.reserve(size_t(kFrames) * 2 * sizeof(Sample));
    for (size_t start = 0; start < size_t(kFrames); start += block) {
        const size_t frames = std::min(block, size_t(kFrames) - start);
        for (size_t i = 0; i < frames; ++i) {
            inLeft[i] = Sample(input.left[start + i]);
            inRight[i] = Sample(session.inputs == 1 ? 0.0 : input.right[start + i]);
        }
        process<Sample>(effect.effect(), in, out, VstInt32(frames));
        bytes.append(reinterpret_cast<const char*>(outLeft.data()), frames * sizeof(Sample));
        bytes.append(reinterpret_cast<const char*>(outRight.data()), frames * sizeof(Sample));
    }
    return bytes;
}

void appendLittle64(std::string& out, uint64_t value) {
    for (int i = 0; i < 8; ++i) out.push_back(char((value >> (8 * i)) & 0xFF));
}

}  // namespace

std::vector<Session> sessions() {
    using namespace parameters;
    std::vector<Session> list;
    // Off, and both processing modes over the ratios, times and drives.
    const float off = 0.0f, clear = 0.5f, valve = 1.0f;
    list.push_back({"off", {{kProcess, off}}, false, 2, 512, 44100.0f});
    for (float mode : {clear, valve}) {
        const std::string modeName = mode == clear ? "clear" : "valve";
        for (int ratio = 0; ratio < kRatioPositions; ratio += 3) {
            Session s;
            s.name = modeName + "-ratio" + std::to_string(ratio);
            s.parameters = {{kProcess, mode},
                            {kRatio, float(ratio) / float(kRatioPositions - 1)},
                            {kTime, 0.35f},
                            {kCompression, 0.7f},
                            {kOutput, 0.25f}};
            list.push_back(s);
        }
        Session fast{modeName + "-fast-hard",
                     {{kProcess, mode}, {kTime, 0.0f}, {kCompression, 1.0f}, {kOutput, 0.0f}},
                     false,
                     2,
                     64,
                     48000.0f};
        list.push_back(fast);
        Session slow{modeName + "-slow-mono",
                     {{kProcess, mode}, {kTime, 1.0f}, {kCompression, 0.4f}, {kOutput, 0.6f}},
                     false,
                     1,
                     1000,
                     96000.0f};
        list.push_back(slow);
    }
    // The 64-bit path of the same settings.
    const size_t single = list.size();
    for (size_t i = 0; i < single; ++i) {
        Session s = list[i];
        s.name += "-double";
        s.doublePrecision = true;
        list.push_back(s);
    }
    return list;
}

std::string render(const PluginLibrary& library, const Session& session, std::string& error) {
    QuietHost host;
    std::unique_ptr<HostedEffect> effect = HostedEffect::create(library, host, error);
    if (!effect) return {};
    effect->dispatch(effSetSampleRate, 0, 0, nullptr, session.sampleRate);
    effect->dispatch(effSetBlockSize, 0, session.blockSize);
    effect->dispatch(effMainsChanged, 0, 1);
    for (const auto& [index, value] : session.parameters) effect->setParameter(index, value);
    return session.doublePrecision ? renderAs<double>(*effect, session)
                                   : renderAs<float>(*effect, session);
}

std::string packRenders(const std::vector<std::pair<std::string, std::string>>& renders) {
    std::string file;
    for (const auto& [name, bytes] : renders) {
        file += name;
        file.push_back('\0');
        appendLittle64(file, bytes.size());
        file += bytes;
    }
    return file;
}

bool unpackRenders(const std::string& file, std::vector<std::pair<std::string, std::string>>& out) {
    out.clear();
    size_t at = 0;
    while (at < file.size()) {
        const size_t end = file.find('\0', at);
        if (end == std::string::npos || file.size() - end - 1 < 8) return false;
        std::string name = file.substr(at, end - at);
        uint64_t length = 0;
        for (int i = 0; i < 8; ++i)
            length |= uint64_t(uint8_t(file[end + 1 + size_t(i)])) << (8 * i);
        at = end + 9;
        if (length > file.size() - at) return false;
        out.emplace_back(std::move(name), file.substr(at, size_t(length)));
        at += size_t(length);
    }
    return true;
}

}  // namespace cross
