// The normalised value of a parameter that makes the effect show a given text, found by
// asking the effect as a host does (set a value, read its display), so it works for any
// effect, whatever its curves.
#pragma once

#include <functional>
#include <string>

// One parameter seen through the host interface.
struct ShownParameter {
    std::function<void(float)> set;
    std::function<std::string()> display;
    std::string label;  // the unit shown after the text, trimmed; may be empty
};

struct ShownValueSearch {
    bool found = false;
    float value = 0;
    std::string shows;    // when not found: "Off, Clear or Valve", or "0.00 to 30.00"
    std::string nearest;  // when not found between two shown numbers: "6.00 and 6.50"
};

// Matches wanted against the shown texts: case-insensitive, surrounding spaces and the
// label ignored; numbers compare as numbers ("6" matches "+6.00") and a unit inside the
// shown text may be left out. Leaves the parameter at whatever it probed last.
ShownValueSearch findShownValue(const ShownParameter& parameter, const std::string& wanted);

// Text without surrounding spaces and tabs.
std::string trimmedText(const std::string& text);

// A plain number (no unit) from 0 to 1, which the tool reads as a normalised value.
bool isNormalisedNumber(const std::string& text, double& value);
