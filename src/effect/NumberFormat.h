// Parameter numbers as the host shows them: two decimals, rounded half away from zero.
#pragma once

// Writes the text of x into text (at least 16 bytes), for example "5.50" or "30.00".
void formatParameterNumber(float x, char* text);
