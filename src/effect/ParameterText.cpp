#include "effect/ParameterText.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>

#include "effect/NumberFormat.h"
#include "effect/Parameters.h"
#include "presets/CProgram.h"

namespace parameters {
namespace {

const char* const kProcessTexts[kProcessPositions] = {"Off", "Clear", "Valve"};
const char* const kRatioTexts[kRatioPositions] = {"1.2:1", "1.5:1", "2:1", "3:1",
                                                  "4:1",   "6:1",   "10:1"};

// The number parameters: how many units one step is.
double unitsPerStep(int32_t index) {
    switch (index) {
        case kTime: return 0.5;
        case kCompression: return 0.25;
        case kOutput: return 0.5;
        default: return 0.0;
    }
}

std::string trimmed(const char* text) {
    std::string s(text);
    const auto blank = [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; };
    while (!s.empty() && blank(s.back())) s.pop_back();
    std::size_t start = 0;
    while (start < s.size() && blank(s[start])) ++start;
    return s.substr(start);
}

bool sameName(const std::string& a, const char* b) {
    if (a.size() != std::strlen(b)) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

bool chooseName(const std::string& text, const char* const* names, int count, float& value) {
    for (int i = 0; i < count; ++i) {
        if (sameName(text, names[i])) {
            value = static_cast<float>(i / double(count - 1));
            return true;
        }
    }
    return false;
}

}  // namespace

void displayText(int32_t index, float value, char* text) {
    if (!text) return;
    const double v = clampUnit(value);
    const int positions = parameters::positions(index);
    switch (index) {
        case kProcess: std::strcpy(text, kProcessTexts[stepOf(v, positions)]); return;
        case kRatio: std::strcpy(text, kRatioTexts[stepOf(v, positions)]); return;
        case kTime:
        case kCompression:
        case kOutput:
            formatParameterNumber(static_cast<float>(stepOf(v, positions) * unitsPerStep(index)),
                                  text);
            return;
        default: std::strcpy(text, " "); return;
    }
}

bool valueFromText(int32_t index, const char* text, float& value) {
    if (!text) return false;
    std::string s = trimmed(text);
    if (index == kProcess) return chooseName(s, kProcessTexts, kProcessPositions, value);
    if (index == kRatio) return chooseName(s, kRatioTexts, kRatioPositions, value);
    const double unit = unitsPerStep(index);
    if (unit == 0.0 || s.empty()) return false;
    if (index == kOutput && s.size() > 2 && sameName(s.substr(s.size() - 2), "db"))
        s = trimmed(s.substr(0, s.size() - 2).c_str());
    char* end = nullptr;
    const double number = std::strtod(s.c_str(), &end);
    if (end == s.c_str() || *end != '\0' || !std::isfinite(number)) return false;
    const int top = positions(index) - 1;
    double step = std::nearbyint(number / unit);
    if (step < 0) step = 0;
    if (step > top) step = top;
    value = static_cast<float>(step / top);
    return true;
}

}  // namespace parameters
