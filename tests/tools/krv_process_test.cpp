// krv-process end to end: real files in, real files out, and a clear error for bad input.
#include <gtest/gtest.h>
#include <sndfile.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct ToolRun {
    int exitCode;
    std::string out, err;
};

class KrvProcessTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/krv-process-test-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
    }
    void TearDown() override { std::system(("rm -rf '" + dir + "'").c_str()); }

    ToolRun run(const std::vector<std::string>& args, const std::string& plugin = KRV_PLUGIN_PATH) {
        return runCommand(std::string("'") + KRV_PROCESS_PATH + "' --plugin '" + plugin + "'", args);
    }
    // command: what starts the tool, for the shell.
    ToolRun runCommand(std::string command, const std::vector<std::string>& args) {
        for (const std::string& a : args) command += " '" + a + "'";
        command += " >'" + dir + "/stdout' 2>'" + dir + "/stderr' </dev/null";
        int status = std::system(command.c_str());
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, slurp(dir + "/stdout"), slurp(dir + "/stderr")};
    }
    // A copy of a built file at dir/relative, its folders made.
    std::string install(const std::string& built, const std::string& relative) {
        std::filesystem::path target = dir + "/" + relative;
        std::filesystem::create_directories(target.parent_path());
        std::filesystem::copy_file(built, target);
        return target.string();
    }
    // The normalised value the tool printed after "Name = shown (".
    static double setTo(const std::string& out, const std::string& start) {
        size_t at = out.find(start);
        return at == std::string::npos ? -1.0 : std::atof(out.c_str() + at + start.size());
    }
    static std::string slurp(const std::string& path) {
        std::ifstream in(path);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
    std::string path(const std::string& name) { return dir + "/" + name; }

    // A second of drum-like hits at -3 dBFS peak.
    void writeSignal(const std::string& file, int format, int channels = 2, int rate = 44100) {
        SF_INFO info{};
        info.channels = channels;
        info.samplerate = rate;
        info.format = format;
        SNDFILE* sf = sf_open(file.c_str(), SFM_WRITE, &info);
        ASSERT_NE(sf, nullptr) << sf_strerror(nullptr);
        std::vector<double> samples(static_cast<size_t>(rate) * channels);
        for (int i = 0; i < rate; ++i) {
            double t = (i % (rate / 4)) / static_cast<double>(rate);
            double v = 0.7 * std::exp(-t * 20.0) * std::sin(2 * M_PI * 80.0 * t);
            for (int c = 0; c < channels; ++c) samples[static_cast<size_t>(i) * channels + c] = v;
        }
        sf_writef_double(sf, samples.data(), rate);
        sf_close(sf);
    }
    static std::vector<double> readAll(const std::string& file, SF_INFO& info) {
        info = SF_INFO{};
        SNDFILE* sf = sf_open(file.c_str(), SFM_READ, &info);
        if (!sf) return {};
        std::vector<double> samples(static_cast<size_t>(info.frames) * info.channels);
        sf_readf_double(sf, samples.data(), info.frames);
        sf_close(sf);
        return samples;
    }
    static double peakOf(const std::vector<double>& samples) {
        double peak = 0;
        for (double v : samples) peak = std::max(peak, std::fabs(v));
        return peak;
    }
    static bool exists(const std::string& file) { return access(file.c_str(), F_OK) == 0; }
    // No leftover temporary files of an aborted write: the folder holds just these (and
    // run()'s capture files).
    bool folderHoldsOnly(std::set<std::string> names) {
        names.insert({"stdout", "stderr"});
        std::set<std::string> found;
        for (const auto& entry : std::filesystem::directory_iterator(dir))
            found.insert(entry.path().filename().string());
        return found == names;
    }

    std::string dir;
};

TEST_F(KrvProcessTest, DemoWritesBothFilesAndASummary) {
    ToolRun r = run({"--demo", path("demo")});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("peak"), std::string::npos);
    EXPECT_NE(r.out.find("RMS"), std::string::npos);
    SF_INFO in, out;
    std::vector<double> input = readAll(path("demo/demo.wav"), in);
    std::vector<double> output = readAll(path("demo/demo-tarnwick.wav"), out);
    EXPECT_EQ(in.frames, out.frames);
    EXPECT_EQ(in.channels, 2);
    EXPECT_EQ(out.samplerate, 48000);
    EXPECT_GT(peakOf(input), 0.5);
    EXPECT_LT(peakOf(output), peakOf(input));
}

// A float file may carry NaN or infinite samples; the levels are those of the others.
TEST_F(KrvProcessTest, LevelsLeaveNonFiniteSamplesOutAndCountThem) {
    writeSignal(path("in.wav"), SF_FORMAT_WAV | SF_FORMAT_FLOAT);
    SF_INFO info;
    std::vector<double> samples = readAll(path("in.wav"), info);
    samples[1000] = std::nan("");
    samples[1001] = INFINITY;
    samples[20001] = -INFINITY;
    const sf_count_t frames = info.frames;
    SNDFILE* sf = sf_open(path("in.wav").c_str(), SFM_WRITE, &info);
    ASSERT_NE(sf, nullptr);
    sf_writef_double(sf, samples.data(), frames);
    sf_close(sf);
    double peak = 0, squares = 0;
    size_t finite = 0;
    for (double v : samples) {
        if (!std::isfinite(v)) continue;
        peak = std::max(peak, std::fabs(v));
        squares += v * v;
        ++finite;
    }

    ToolRun r = run({path("in.wav"), path("out.wav")});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    char expected[128];
    std::snprintf(expected, sizeof(expected),
                  "peak %.2f dBFS, RMS %.2f dBFS (3 samples not finite, left out)\n",
                  20 * std::log10(peak), 20 * std::log10(std::sqrt(squares / finite)));
    const size_t output = r.out.find("output:");
    ASSERT_NE(output, std::string::npos) << r.out;
    EXPECT_NE(r.out.substr(0, output).find(expected), std::string::npos) << r.out;
    // The compressor recovers: the output's levels are numbers too.
    const std::string outputLines = r.out.substr(output);
    EXPECT_EQ(outputLines.find("inf"), std::string::npos) << r.out;
    EXPECT_EQ(outputLines.find("nan"), std::string::npos) << r.out;
    EXPECT_NE(outputLines.find("dBFS, RMS -"), std::string::npos) << r.out;
}

TEST_F(KrvProcessTest, LevelsDropAsCompressionRises) {
    writeSignal(path("in.wav"), SF_FORMAT_WAV | SF_FORMAT_FLOAT);
    double previous = 1e9;
    for (const char* compression : {"0", "0.5", "1"}) {
        ToolRun r = run({"--set", std::string("Compression=") + compression, path("in.wav"), path("out.wav")});
        ASSERT_EQ(r.exitCode, 0) << r.err;
        SF_INFO info;
        double peak = peakOf(readAll(path("out.wav"), info));
        EXPECT_LT(peak, previous) << compression;
        previous = peak;
    }
}

TEST_F(KrvProcessTest, FormatsAndChannelCountsArePreserved) {
    struct Case {
        const char* name;
        int format, channels;
    } cases[] = {
        {"a.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 1},  {"b.aiff", SF_FORMAT_AIFF | SF_FORMAT_PCM_24, 2},
        {"c.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_24, 2}, {"d.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_32, 2},
    };
    for (const Case& c : cases) {
        writeSignal(path(c.name), c.format, c.channels, 48000);
        std::string output = path(std::string("out-") + c.name);
        ToolRun r = run({"--preset", "kick", "--block", "100", path(c.name), output});
        ASSERT_EQ(r.exitCode, 0) << c.name << ": " << r.err;
        SF_INFO info;
        std::vector<double> samples = readAll(output, info);
        EXPECT_EQ(info.format, c.format) << c.name;
        EXPECT_EQ(info.channels, c.channels) << c.name;
        EXPECT_EQ(info.samplerate, 48000) << c.name;
        EXPECT_EQ(info.frames, 48000) << c.name;
        EXPECT_GT(peakOf(samples), 0.05) << c.name;
    }
}

TEST_F(KrvProcessTest, BothPrecisionsWriteTheSameFloats) {
    writeSignal(path("in.wav"), SF_FORMAT_WAV | SF_FORMAT_FLOAT);
    ASSERT_EQ(run({"--preset", "12", path("in.wav"), path("single.wav")}).exitCode, 0);
    ASSERT_EQ(run({"--preset", "Hats Smasher", "--double", path("in.wav"), path("double.wav")}).exitCode, 0);
    // The samples, not the bytes: the files' peak chunks carry the second they were written.
    SF_INFO singleInfo, doubleInfo;
    std::vector<double> single = readAll(path("single.wav"), singleInfo);
    std::vector<double> twice = readAll(path("double.wav"), doubleInfo);
    EXPECT_EQ(singleInfo.format, doubleInfo.format);
    ASSERT_EQ(single.size(), twice.size());
    EXPECT_FALSE(single.empty());
    EXPECT_TRUE(single == twice);  // floats widened exactly: equal means bit for bit
}

// Values as the effect shows them set what the normalised numbers set, and the tool says
// what it set; a plain number from 0 to 1 stays a normalised value.
TEST_F(KrvProcessTest, SetTakesValuesAsTheEffectShowsThem) {
    writeSignal(path("in.wav"), SF_FORMAT_WAV | SF_FORMAT_FLOAT);
    ToolRun shown = run({"--set", "Ratio=4:1", "--set", "output= 6 ", "--set", "Process=VALVE", "--set",
                         "Time=2.5", path("in.wav"), path("shown.wav")});
    ASSERT_EQ(shown.exitCode, 0) << shown.err;
    EXPECT_EQ(shown.out.find("Ratio = 4:1 (0.6667)\nOutput = 6.00 (0.2000)\nProcess = Valve (1.0000)\n"
                             "Time = 2.50 (0.2500)\ninput:"),
              0u)
        << shown.out;
    ToolRun numbers = run({"--set", "Ratio=0.66666667", "--set", "Output=0.2", "--set", "Process=1", "--set",
                           "Time=0.25", path("in.wav"), path("numbers.wav")});
    ASSERT_EQ(numbers.exitCode, 0) << numbers.err;
    EXPECT_NE(numbers.out.find("Output = 6.00 (0.2000)\n"), std::string::npos) << numbers.out;
    SF_INFO info;
    std::vector<double> fromShown = readAll(path("shown.wav"), info);
    EXPECT_FALSE(fromShown.empty());
    EXPECT_TRUE(fromShown == readAll(path("numbers.wav"), info));
}

// Any plug-in's continuous parameters: the value is searched for on the effect's own curve
// (here Gain shows 20 log10(4 v^2) dB and Freq 20 * 1000^v Hz).
TEST_F(KrvProcessTest, SetFindsTheValuesOtherPlugInsShow) {
    ToolRun r = run({"--set", "gain = -6 DB", "--set", "Freq=440 hz", "--list"}, KRV_CURVES_PLUGIN_PATH);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    double gain = setTo(r.out, "Gain = -6.00 dB (");
    double freq = setTo(r.out, "Freq = 440.0 Hz (");
    // Half the shown last digit, and what the printed value's fourth decimal leaves open;
    // probes 1/1000 apart are 0.05 dB and 3 Hz apart there.
    EXPECT_NEAR(20 * std::log10(4 * gain * gain), -6.0, 0.005 + 0.0025) << r.out;
    EXPECT_NEAR(20 * std::pow(1000.0, freq), 440.0, 0.05 + 0.16) << r.out;
    r = run({"--set", "Gain=6", "--set", "gain=-INF", "--list"}, KRV_CURVES_PLUGIN_PATH);
    EXPECT_NE(r.out.find("Gain = +6.00 dB ("), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("Gain = -inf dB (0.0000)"), std::string::npos) << r.out;
    r = run({"--set", "Gain=13dB", "--list"}, KRV_CURVES_PLUGIN_PATH);
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_NE(r.err.find("Gain cannot be \"13dB\": it shows -inf dB to +12.04 dB"), std::string::npos) << r.err;
}

// Installed as a package lays it out, the tools find the plug-in without being told, and
// name it on stderr, apart from what they write on stdout.
TEST_F(KrvProcessTest, TheToolsFindThePlugInWhereItIsInstalled) {
    std::string tool = install(KRV_PROCESS_PATH, "usr/bin/krv-process");
    std::string host = install(KRV_HOST_PATH, "usr/bin/krv-host");
    std::string plugin = install(KRV_PLUGIN_PATH, "usr/lib/vst/krv-tarnwick/krv-tarnwick.so");
    const std::string env = "env -u VST_PATH -u LXVST_PATH -u DISPLAY HOME='" + path("home") + "' ";
    ToolRun r = runCommand(env + tool, {"--list"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("Compression"), std::string::npos) << r.out;
    EXPECT_EQ(r.err, "krv-process: loaded " + plugin + "\n");
    // Without a display the host stops at its window, after loading.
    r = runCommand(env + host, {});
    EXPECT_EQ(r.err.find("krv-host: loaded " + plugin + "\n"), 0u) << r.err;
}

TEST_F(KrvProcessTest, TheToolFindsThePlugInOnVstPathOrSaysWhereItLooked) {
    std::string tool = install(KRV_PROCESS_PATH, "bin/krv-process");
    std::string plugin = install(KRV_PLUGIN_PATH, "plugins/krv-tarnwick/krv-tarnwick.so");
    const std::string env = "env -u LXVST_PATH HOME='" + path("home") + "' VST_PATH='" + path("none") + ":" +
                            path("plugins") + "' ";
    ToolRun r = runCommand(env + tool, {"--list"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.err, "krv-process: loaded " + plugin + "\n");

    std::filesystem::remove(plugin);
    for (const char* installed : {"/usr/local/lib/vst", "/usr/local/lib/vst/krv-tarnwick", "/usr/lib/vst",
                                  "/usr/lib/vst/krv-tarnwick"})
        if (exists(std::string(installed) + "/krv-tarnwick.so")) GTEST_SKIP() << "installed in " << installed;
    r = runCommand(env + tool, {"--list"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, "");
    for (const std::string& folder : {path("bin"), path("lib/vst/krv-tarnwick"), path("home/.vst/krv-tarnwick"),
                                      path("none"), path("plugins/krv-tarnwick"), std::string("/usr/lib/vst")})
        EXPECT_NE(r.err.find(folder + ", "), std::string::npos) << folder << " in " << r.err;
    EXPECT_EQ(r.err.find("krv-process: found no krv-tarnwick.so in "), 0u) << r.err;
}

TEST_F(KrvProcessTest, ListShowsPresetsAndParameters) {
    ToolRun r = run({"--list"});
    ASSERT_EQ(r.exitCode, 0);
    for (const char* text : {"Glue Things Together", "Bus Comp 3", "Compression", "Valve", "3:1"})
        EXPECT_NE(r.out.find(text), std::string::npos) << text;
}

TEST_F(KrvProcessTest, BadInputGivesOneLineAndNoOutput) {
    writeSignal(path("in.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    writeSignal(path("six.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_16, 3);
    std::ofstream(path("text.wav")) << "not audio at all";
    struct Case {
        std::vector<std::string> args;
        int exitCode;
        const char* message;
    } cases[] = {
        {{path("missing.wav"), path("out.wav")}, 1, "cannot read"},
        {{path("text.wav"), path("out.wav")}, 1, "cannot read"},
        {{path("six.wav"), path("out.wav")}, 1, "3 channels"},
        {{"--preset", "No Such Preset", path("in.wav"), path("out.wav")}, 2, "unknown preset"},
        {{"--preset", "33", path("in.wav"), path("out.wav")}, 2, "unknown preset"},
        {{"--set", "Loudness=0.5", path("in.wav"), path("out.wav")}, 2, "unknown parameter"},
        {{"--set", "Compression=lots", path("in.wav"), path("out.wav")}, 2, "shows 0.00 to 10.00, or takes"},
        {{"--set", "5=nan", path("in.wav"), path("out.wav")}, 2, "Compression cannot be \"nan\""},
        {{"--set", "Compression=-0.5", path("in.wav"), path("out.wav")}, 2, "normalised value from 0 to 1"},
        {{"--set", "Ratio=12", path("in.wav"), path("out.wav")}, 2, "shows 1.2:1, 1.5:1, 2:1, 3:1, 4:1, 6:1 or 10:1"},
        {{"--set", "Process=loud", path("in.wav"), path("out.wav")}, 2, "shows Off, Clear or Valve"},
        {{"--set", "Output=6.3", path("in.wav"), path("out.wav")}, 2, "(nearest 6.00 and 6.50)"},
        {{"--block", "0", path("in.wav"), path("out.wav")}, 2, "--block"},
        {{path("in.wav"), path("out.mp3")}, 1, ".wav, .aiff or .flac"},
        {{path("in.wav")}, 2, "INPUT and an OUTPUT"},
    };
    for (const Case& c : cases) {
        ToolRun r = run(c.args);
        EXPECT_EQ(r.exitCode, c.exitCode) << c.message;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
        EXPECT_EQ(r.err.find("krv-process: "), 0u) << r.err;
        EXPECT_EQ(r.out, "") << c.message;
        EXPECT_FALSE(exists(path("out.wav"))) << c.message;
    }
    EXPECT_TRUE(folderHoldsOnly({"in.wav", "six.wav", "text.wav"}));
}

TEST_F(KrvProcessTest, ALibraryThatIsNoPlugInIsRefused) {
    writeSignal(path("in.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    std::ofstream(path("fake.so")) << "not a library";
    std::ofstream(path("fake.clap")) << "not a library";
    // A library without clap_entry, named as a CLAP plug-in.
    std::string vstAsClap = install(KRV_PLUGIN_PATH, "vst.clap");
    for (const std::string& library : {path("fake.so"), std::string("/lib/x86_64-linux-gnu/libm.so.6"),
                                       path("fake.clap"), vstAsClap}) {
        std::string command = std::string("'") + KRV_PROCESS_PATH + "' --plugin '" + library + "' '" +
                              path("in.wav") + "' '" + path("out.wav") + "' 2>'" + path("err") + "'";
        int status = std::system(command.c_str());
        EXPECT_EQ(WEXITSTATUS(status), 1) << library;
        std::string err = slurp(path("err"));
        EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
        EXPECT_FALSE(exists(path("out.wav")));
    }
}

// The same compressor in either format: the files are the same to the byte, through either
// precision, at any block size, with a preset and parameters set by name.
TEST_F(KrvProcessTest, TheClapPlugInRendersWhatTheVstLibraryRenders) {
    const char* clap = std::getenv("KRV_CLAP_PATH");
    if (!clap) GTEST_SKIP() << "KRV_CLAP_PATH names no built krv-tarnwick.clap";
    writeSignal(path("mono.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_24, 1);
    const std::vector<std::vector<std::string>> settings = {
        {"--block", "512", "--preset", "Kick", "--set", "Ratio=6:1"},
        {"--block", "100", "--double", "--preset", "Hats Smasher", "--set", "Time=2.5", "--set", "output=3"},
        {"--block", "1024", "--double", "--preset", "12", "--set", "Process=clear", "--set", "2=1.5:1"},
        {"--block", "37", "--preset", "Make it Pump", "--set", "Compression=0.7"},
    };
    for (const std::vector<std::string>& setting : settings) {
        std::string said[2];
        for (int format = 0; format < 2; ++format) {
            const std::string folder = path(format ? "clap" : "vst");
            std::vector<std::string> args = setting;
            args.insert(args.end(), {"--demo", folder});
            ToolRun r = run(args, format ? clap : KRV_PLUGIN_PATH);
            ASSERT_EQ(r.exitCode, 0) << r.err;
            said[format] = r.out.substr(0, r.out.find("input:"));
            args = setting;
            args.insert(args.end(), {path("mono.wav"), folder + "/mono-out.wav"});
            ASSERT_EQ(run(args, format ? clap : KRV_PLUGIN_PATH).exitCode, 0) << args[1];
        }
        EXPECT_EQ(said[0], said[1]);
        EXPECT_NE(said[0].find(" = "), std::string::npos) << said[0];
        for (const char* file : {"/demo-tarnwick.wav", "/mono-out.wav"}) {
            const std::string vst = slurp(path("vst") + file), other = slurp(path("clap") + file);
            EXPECT_GT(vst.size(), 10000u) << file;
            EXPECT_TRUE(vst == other) << file << " after " << setting[1] << " " << setting[4];
        }
        // The compressor worked on it: the output is not the input.
        EXPECT_NE(slurp(path("clap/demo.wav")), slurp(path("clap/demo-tarnwick.wav")));
    }
}

TEST_F(KrvProcessTest, AFailedRunLeavesAnExistingOutputAlone) {
    writeSignal(path("in.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    std::ofstream(path("out.wav")) << "previous result";
    ToolRun r = run({"--set", "Output=loud", path("in.wav"), path("out.wav")});
    EXPECT_NE(r.exitCode, 0);
    EXPECT_EQ(slurp(path("out.wav")), "previous result");
    ASSERT_EQ(run({path("in.wav"), path("out.wav")}).exitCode, 0);
    struct stat info;
    ASSERT_EQ(stat(path("out.wav").c_str(), &info), 0);
    EXPECT_GT(info.st_size, 1000);
    EXPECT_TRUE(folderHoldsOnly({"in.wav", "out.wav"}));
}

}  // namespace
