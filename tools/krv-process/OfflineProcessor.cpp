#include "tools/krv-process/OfflineProcessor.h"

#include <vector>

#include "tools/krv-process/ProgressBar.h"

namespace {

template <typename Sample>
bool renderBlocks(HostedPlugin& effect, AudioReader& reader, AudioWriter& writer, int blockSize,
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
        effect.process(in, out, frames);
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

bool renderFile(HostedPlugin& effect, AudioReader& reader, AudioWriter& writer, int blockSize,
                bool doublePrecision, RenderResult& result, std::string& error) {
    if (!effect.start(reader.sampleRate(), blockSize, reader.channels(), doublePrecision)) {
        error = "the plug-in refused to start processing";
        return false;
    }
    bool rendered = doublePrecision ? renderBlocks<double>(effect, reader, writer, blockSize, result, error)
                                    : renderBlocks<float>(effect, reader, writer, blockSize, result, error);
    effect.stop();
    return rendered;
}
