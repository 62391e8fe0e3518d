#include "presets/CProgram.h"

#include <cmath>
#include <cstring>

float clampUnit(float value) {
    double v = value;
    if (std::isnan(v) || v < 0.0) return 0.0f;
    if (v > 1.0) return 1.0f;
    return value;
}

CProgram::CProgram() {
    const float initial[kNumParameters] = {1.0f, 0, 0, 0, 0.5f, 0.5f, 0, 0, 0, 0, 0, 0};
    for (int i = 0; i < kNumParameters; ++i) values[i].store(initial[i], std::memory_order_relaxed);
    setName("init");
}

void CProgram::setName(const char* text) {
    size_t length = text ? strnlen(text, kVstMaxProgNameLen) : 0;
    for (size_t i = 0; i <= kVstMaxProgNameLen; ++i)
        nameBuffer[i].store(i < length ? text[i] : '\0', std::memory_order_relaxed);
}

void CProgram::getName(char* out) const {
    if (!out) return;
    for (size_t i = 0; i <= kVstMaxProgNameLen; ++i) {
        out[i] = nameBuffer[i].load(std::memory_order_relaxed);
        if (out[i] == '\0') return;
    }
    out[kVstMaxProgNameLen] = '\0';
}

void CProgram::setValue(int index, float value) {
    if (static_cast<unsigned>(index) > kNumParameters - 1) return;
    values[index].store(clampUnit(value), std::memory_order_relaxed);
}

float CProgram::getValue(int index) const {
    if (static_cast<unsigned>(index) > kNumParameters - 1) return -1.0f;
    return values[index].load(std::memory_order_relaxed);
}
