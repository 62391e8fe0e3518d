// Audio files through libsndfile: reading in blocks, and writing to a temporary file that
// replaces the target only when everything was written.
#pragma once

#include <sndfile.h>

#include <string>

class AudioReader {
public:
    // False with a one-line reason when the file cannot be read as audio.
    bool open(const std::string& path, std::string& error);
    ~AudioReader();

    int channels() const { return info.channels; }
    int sampleRate() const { return info.samplerate; }
    sf_count_t frames() const { return info.frames; }
    int format() const { return info.format; }
    // Interleaved frames; returns how many were read (0 at the end).
    sf_count_t read(float* interleaved, sf_count_t frames) { return sf_readf_float(file, interleaved, frames); }
    sf_count_t read(double* interleaved, sf_count_t frames) { return sf_readf_double(file, interleaved, frames); }

private:
    SNDFILE* file = nullptr;
    SF_INFO info{};
};

class AudioWriter {
public:
    // Opens a temporary file beside path. The container follows path's extension (wav,
    // aif/aiff, flac); the sample format follows `formatLike` where the container allows.
    bool open(const std::string& path, int channels, int sampleRate, int formatLike, std::string& error);
    // Removes the temporary file unless commit() succeeded.
    ~AudioWriter();

    bool write(const float* interleaved, sf_count_t frames) { return sf_writef_float(file, interleaved, frames) == frames; }
    bool write(const double* interleaved, sf_count_t frames) { return sf_writef_double(file, interleaved, frames) == frames; }
    // Closes the file and renames it over the target.
    bool commit(std::string& error);

private:
    SNDFILE* file = nullptr;
    std::string target;
    std::string temporary;
};

// The major format that a file name's extension asks for; 0 when unknown.
int containerForPath(const std::string& path);
