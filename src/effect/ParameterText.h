// The texts of the active parameters' values, the same in every plug-in format: a value to
// the text a host shows, and a text a user typed back to a value.
#pragma once

#include <cstdint>

namespace parameters {

// The text of normalised value (0 to 1, clamped) of the parameter at index into text (at
// least 16 bytes); " " for an index that is not active.
void displayText(int32_t index, float value, char* text);

// The normalised value whose text is text, for an active parameter: a stepped parameter's
// name ("Valve", "4:1", case and surrounding blanks ignored) or a number in the parameter's
// own units ("5.5", "12 dB"), taken to the nearest step inside the range. False, with
// value untouched, for anything else.
bool valueFromText(int32_t index, const char* text, float& value);

}  // namespace parameters
