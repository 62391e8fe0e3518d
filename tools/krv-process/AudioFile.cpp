#include "tools/krv-process/AudioFile.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>

bool AudioReader::open(const std::string& path, std::string& error) {
    file = sf_open(path.c_str(), SFM_READ, &info);
    if (!file) {
        error = "cannot read " + path + ": " + sf_strerror(nullptr);
        return false;
    }
    return true;
}

AudioReader::~AudioReader() {
    if (file) sf_close(file);
}

int containerForPath(const std::string& path) {
    size_t dot = path.rfind('.');
    if (dot == std::string::npos) return 0;
    std::string extension = path.substr(dot + 1);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (extension == "wav") return SF_FORMAT_WAV;
    if (extension == "aif" || extension == "aiff") return SF_FORMAT_AIFF;
    if (extension == "flac") return SF_FORMAT_FLAC;
    return 0;
}

bool AudioWriter::open(const std::string& path, int channels, int sampleRate, int formatLike,
                       std::string& error) {
    int container = containerForPath(path);
    if (!container) {
        error = "cannot write " + path + ": use a .wav, .aiff or .flac name";
        return false;
    }
    SF_INFO info{};
    info.channels = channels;
    info.samplerate = sampleRate;
    info.format = container | (formatLike & SF_FORMAT_SUBMASK);
    if (!sf_format_check(&info)) info.format = container | SF_FORMAT_PCM_24;
    if (!sf_format_check(&info)) {
        error = "cannot write " + path + ": format not supported";
        return false;
    }

    size_t slash = path.rfind('/');
    std::string folder = slash == std::string::npos ? "." : path.substr(0, slash);
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    std::string pattern = folder + "/." + name + ".XXXXXX";
    int descriptor = mkstemp(pattern.data());
    if (descriptor < 0) {
        error = "cannot write " + path + ": cannot create a file in " + folder;
        return false;
    }
    // mkstemp creates the file private; give it the permissions a new file gets.
    mode_t mask = umask(0);
    umask(mask);
    fchmod(descriptor, 0666 & ~mask);
    temporary = pattern;
    target = path;
    file = sf_open_fd(descriptor, SFM_WRITE, &info, SF_TRUE);
    if (!file) {
        error = "cannot write " + path + ": " + sf_strerror(nullptr);
        return false;
    }
    // Integer formats clip instead of wrapping around.
    sf_command(file, SFC_SET_CLIPPING, nullptr, SF_TRUE);
    return true;
}

bool AudioWriter::commit(std::string& error) {
    int closed = sf_close(file);
    file = nullptr;
    if (closed != 0 || std::rename(temporary.c_str(), target.c_str()) != 0) {
        error = "cannot write " + target;
        return false;
    }
    temporary.clear();
    return true;
}

AudioWriter::~AudioWriter() {
    if (file) sf_close(file);
    if (!temporary.empty()) unlink(temporary.c_str());
}
