// Fixed sessions through a plug-in library, the same on every system: the input is made
// with integer arithmetic only, so that it is bit-identical wherever it is made, and each
// session's output is kept as raw bytes. The Linux build writes them to a file; the Windows
// tests render again through the DLL and compare.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "hosting/PluginLibrary.h"

namespace cross {

struct Session {
    std::string name;
    // Parameter index and normalised value, set in this order after the effect starts.
    std::vector<std::pair<int, float>> parameters;
    bool doublePrecision = false;
    int inputs = 2;  // 1: the left input alone
    int blockSize = 512;
    float sampleRate = 44100.0f;
};

// Every session both systems render.
std::vector<Session> sessions();

// The session's output: every output channel's samples, block after block, as the bytes
// the host received. Empty with a reason in error when the library yields no effect.
std::string render(const PluginLibrary& library, const Session& session, std::string& error);

// All sessions' outputs in one file: per session its name, a zero byte, the output's
// length (8 bytes little-endian) and the output.
std::string packRenders(const std::vector<std::pair<std::string, std::string>>& renders);
bool unpackRenders(const std::string& file, std::vector<std::pair<std::string, std::string>>& out);

}  // namespace cross
