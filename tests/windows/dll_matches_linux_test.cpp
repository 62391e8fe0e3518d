// The Windows DLL against the Linux library: the same sessions, rendered here through
// LoadLibrary and compared with what the Linux build rendered (KRV_LINUX_RENDERS).
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>

#include "cross/Renders.h"

namespace {

struct Difference {
    size_t samples = 0;     // samples that differ at all
    double largest = 0.0;   // largest absolute difference
    double relative = 0.0;  // that difference over the Linux sample's size
    size_t firstAt = 0;     // index of the first differing sample
};

template <typename Sample>
Difference compare(const std::string& windows, const std::string& reference) {
    Difference d;
    const size_t count = windows.size() / sizeof(Sample);
    for (size_t i = 0; i < count; ++i) {
        Sample a, b;
        std::memcpy(&a, windows.data() + i * sizeof(Sample), sizeof(Sample));
        std::memcpy(&b, reference.data() + i * sizeof(Sample), sizeof(Sample));
        if (std::memcmp(&a, &b, sizeof(Sample)) == 0) continue;
        if (d.samples++ == 0) d.firstAt = i;
        const double gap = std::fabs(double(a) - double(b));
        if (!(gap <= d.largest)) {
            d.largest = gap;
            d.relative = b != 0 ? gap / std::fabs(double(b)) : gap;
        }
    }
    return d;
}

TEST(DllMatchesLinux, EverySessionGivesTheLinuxLibrarysSamples) {
    std::ifstream file(KRV_LINUX_RENDERS, std::ios::binary);
    ASSERT_TRUE(file) << "no renders of the Linux build at " << KRV_LINUX_RENDERS;
    const std::string packed{std::istreambuf_iterator<char>(file), {}};
    std::vector<std::pair<std::string, std::string>> fromLinux;
    ASSERT_TRUE(cross::unpackRenders(packed, fromLinux));
    const auto sessions = cross::sessions();
    ASSERT_EQ(fromLinux.size(), sessions.size());

    std::string error;
    auto library = PluginLibrary::open(KRV_PLUGIN_PATH, error);
    ASSERT_TRUE(library) << error;
    // The kernel the CPU gets (AVX2 where it has it), then the SSE2 one every CPU can run.
    for (const char* variant : {"", "sse2"}) {
        _putenv_s("KRV_SIMD", variant);
        double largestOverAll = 0.0;
        size_t identicalSessions = 0;
        for (size_t i = 0; i < sessions.size(); ++i) {
            const cross::Session& session = sessions[i];
            ASSERT_EQ(fromLinux[i].first, session.name);
            const std::string windows = cross::render(*library, session, error);
            ASSERT_EQ(windows.size(), fromLinux[i].second.size()) << session.name << ": " << error;
            const Difference d = session.doublePrecision
                                     ? compare<double>(windows, fromLinux[i].second)
                                     : compare<float>(windows, fromLinux[i].second);
            std::printf("%-6s %-24s %s: %zu samples differ, largest %.3g (relative %.3g), first "
                        "at %zu\n",
                        *variant ? variant : "chosen", session.name.c_str(),
                        d.samples ? "DIFFERS" : "identical", d.samples, d.largest, d.relative,
                        d.firstAt);
            if (d.samples == 0) ++identicalSessions;
            largestOverAll = std::max(largestOverAll, d.largest);
            // The signal path calls no C library function whose rounding differs between
            // systems: every sample is the Linux library's, bit for bit.
            EXPECT_EQ(d.samples, 0u) << session.name << " " << variant;
        }
        std::printf("%zu of %zu sessions bit-identical; largest difference %.3g\n",
                    identicalSessions, sessions.size(), largestOverAll);
    }
    _putenv_s("KRV_SIMD", "");
}

}  // namespace
