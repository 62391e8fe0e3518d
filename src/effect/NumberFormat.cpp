#include "effect/NumberFormat.h"

#include <cmath>
#include <cstring>

void formatParameterNumber(float value, char* text) {
    double x = value;
    if (!std::isfinite(x)) x = 0.0;
    // Round at the second decimal by nudging, then truncate the digits below.
    double d = x * 100.0;
    if (std::fabs(d) < 1e15) {
        double e = std::trunc(d);
        if (d - e >= 0.49999)
            x += 0.01;
        else if (d - e <= -0.49999)
            x -= 0.01;
    }
    bool negative = x < 0.0;
    if (negative) x = -x;

    // Sign and integer digits together take at most seven characters.
    constexpr int kMaxIntegerChars = 7;
    double integerPart = std::floor(x);
    char digits[32];
    int count = 0;
    if (integerPart >= 1e15) integerPart = 999999999999999.0;
    unsigned long long whole = static_cast<unsigned long long>(integerPart);
    do {
        digits[count++] = static_cast<char>('0' + whole % 10);
        whole /= 10;
    } while (whole != 0 && count < 31);

    char* out = text;
    int budget = kMaxIntegerChars;
    if (negative) {
        *out++ = '-';
        --budget;
    }
    for (int i = count - 1; i >= 0 && budget > 0; --i, --budget) *out++ = digits[i];
    *out++ = '.';

    double fraction = std::fmod(x, 1.0);
    for (int i = 0; i < 2; ++i) {
        fraction *= 10.0;
        int digit = static_cast<int>(fraction);
        if (digit > 9) digit = 9;
        *out++ = static_cast<char>('0' + digit);
        fraction -= digit;
    }
    *out = '\0';
}
