// A short drum-like pattern to hear what the compressor does, generated on the spot.
#pragma once

#include <string>

// Writes eight seconds of kick, snare, hats and bass at 48 kHz, 24-bit stereo, to path.
bool writeDemoSignal(const std::string& path, std::string& error);
