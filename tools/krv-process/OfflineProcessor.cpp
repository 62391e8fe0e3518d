#include "tools/krv-process/OfflineProcessor.h"

#include <vector>

#include "tools/krv-process/ProgressBar.h"

namespace {

void process(AEffect* effect, float** in, float** out, int frames) {
    effect->processReplacing(effect, in, out, frames);
}
void process(AEffect* effect, double** in, double** out, int frames) {
    effect->processDoubleReplacing(effect, in, out, frames);
}

template <typename Sample>
bool renderBlocks(HostedEffect& effect, AudioReader& reader, AudioWriter& writer, int blockSize,
                  RenderResult& result, std::string& error) {
    const int channels = reader.channels();
    std::vector<Sample> interleaved(static_cast<size_t>(blockSize) * channels);
    // Every effect gets two valid input and output buffers; a mono file uses the first.
    std::vector<Sample> inputs[2] = {std::vector<Sample>(blockSize), std::vector<Sample>(blockSize)};
    std::vector<Sample> outputs[2] = {std::vector<Sample>(blockSize), std::vector<Sample>(blockSize)};
    Sample* in[2] = {inputs[0].data(), inputs[1].data()};
    Sample* out[2] = {outputs[0].data(), outputs[1].data()};
    ProgressBar progress(reader.frames(), reader.frames() > 30 * static_cast<sf_count_t>(reader.sampleRate()));
    sf_count_t done = 0;
    for (;;) {
        int frames = static_cast<int>(reader.read(interleaved.data(), blockSize));
        if (frames <= 0) break;
        result.input.add(interleaved.data(), static_cast<size_t>(frames) * channels);
        for (int i = 0; i < frames; ++i)
            for (int c = 0; c < channels; ++c) inputs[c][i] = interleaved[static_cast<size_t>(i) * channels + c];
        process(effect.effect(), in, out, frames);
        for (int i = 0; i < frames; ++i)
            for (int c = 0; c < channels; ++c) interleaved[static_cast<size_t>(i) * channels + c] = outputs[c][i];
        result.output.add(interleaved.data(), static_cast<size_t>(frames) * channels);
        if (!writer.write(interleaved.data(), frames)) {
            error = "cannot write the output: disk full?";
            progress.finish();
            return false;
        }
        done += frames;
        progress.update(done);
    }
    progress.finish();
    return true;
}

}  // namespace

bool renderFile(HostedEffect& effect, AudioReader& reader, AudioWriter& writer, int blockSize,
                bool doublePrecision, RenderResult& result, std::string& error) {
    VstSpeakerArrangement in{0, reader.channels()}, out{0, reader.channels()};
    effect.dispatch(effSetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr>(&in), &out);
    effect.dispatch(effSetSampleRate, 0, 0, nullptr, static_cast<float>(reader.sampleRate()));
    effect.dispatch(effSetBlockSize, 0, blockSize);
    effect.dispatch(effSetProcessPrecision, 0, doublePrecision ? 1 : 0);
    effect.dispatch(effMainsChanged, 0, 1);
    bool rendered = doublePrecision ? renderBlocks<double>(effect, reader, writer, blockSize, result, error)
                                    : renderBlocks<float>(effect, reader, writer, blockSize, result, error);
    effect.dispatch(effMainsChanged, 0, 0);
    return rendered;
}
