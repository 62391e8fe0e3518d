// Writes the LV2 bundle's Turtle files (manifest.ttl, krv-tarnwick.ttl, presets.ttl) from
// the sources the plug-in itself is built from: the ports and URIs (Lv2Ports.h), the
// defaults of a freshly made core, the list texts (ParameterText), the factory table and
// the project's version. Run at build time, so the bundle never drifts from the code.
//
// Usage: krv-lv2-ttl OUTPUT_FOLDER "NAME <EMAIL>" [--ui]   (only EMAIL is written)
//   --ui  also describes the editor's library (krv-tarnwick_ui.so)
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "KrvVersion.h"
#include "effect/AutoComp.h"
#include "effect/HostValues.h"
#include "effect/ParameterText.h"
#include "effect/PlugInIdentity.h"
#include "lv2-plugin/Lv2Ports.h"
#include "presets/FactoryPresets.h"

namespace {

using namespace lv2front;

const char* const kPrefixes =
    "@prefix atom: <http://lv2plug.in/ns/ext/atom#> .\n"
    "@prefix doap: <http://usefulinc.com/ns/doap#> .\n"
    "@prefix foaf: <http://xmlns.com/foaf/0.1/> .\n"
    "@prefix lv2: <http://lv2plug.in/ns/lv2core#> .\n"
    "@prefix pg: <http://lv2plug.in/ns/ext/port-groups#> .\n"
    "@prefix pprops: <http://lv2plug.in/ns/ext/port-props#> .\n"
    "@prefix pset: <http://lv2plug.in/ns/ext/presets#> .\n"
    "@prefix rdf: <http://www.w3.org/1999/02/22-rdf-syntax-ns#> .\n"
    "@prefix rdfs: <http://www.w3.org/2000/01/rdf-schema#> .\n"
    "@prefix state: <http://lv2plug.in/ns/ext/state#> .\n"
    "@prefix ui: <http://lv2plug.in/ns/extensions/ui#> .\n"
    "@prefix urid: <http://lv2plug.in/ns/ext/urid#> .\n"
    "@prefix xsd: <http://www.w3.org/2001/XMLSchema#> .\n\n";

const char* const kDspBinary = "krv-tarnwick_dsp.so";
const char* const kUiBinary = "krv-tarnwick_ui.so";
const char* const kPluginFile = "krv-tarnwick.ttl";
const char* const kPresetsFile = "presets.ttl";

std::string uri(const std::string& text) { return "<" + text + ">"; }

// A Turtle string: quotes and backslashes escaped; names are printable Latin-1 or ASCII.
std::string literal(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\') out += '\\';
        out += c;
    }
    return out + "\"";
}

// A float that reads back as the same float: 9 significant digits, always a decimal.
std::string decimal(float value) {
    char text[40];
    std::snprintf(text, sizeof(text), "%.9g", static_cast<double>(value));
    std::string out = text;
    if (out.find_first_of(".e") == std::string::npos) out += ".0";
    return out;
}

// The port's value for a normalised one: a list's position as an integer, else the float.
std::string portValue(int32_t index, float normalised) {
    const double value = parameters::hostValue(index, normalised);
    if (parameters::isEnumeration(index)) return std::to_string(static_cast<int>(value));
    return decimal(static_cast<float>(value));
}

std::string presetUri(int program) {
    char text[16];
    std::snprintf(text, sizeof(text), "#preset-%02d", program);
    return uri(kPluginUri + std::string(text));
}

// The project and its maintainer apart from the plug-in: doap's domains ask for it. Hosts
// show the maintainer's name as the author: the maker every format names. Only the
// address is taken from maintainer.
std::string project(const std::string& maintainer) {
    const std::size_t open = maintainer.find('<'), close = maintainer.find('>');
    std::string email;
    if (open != std::string::npos && close != std::string::npos && close > open)
        email = maintainer.substr(open + 1, close - open - 1);
    std::ostringstream out;
    out << uri(kPluginUri + std::string("#project")) << "\n"
        << "    a doap:Project ;\n"
        << "    doap:name " << literal(identity::kName) << " ;\n"
        << "    doap:homepage " << uri(identity::kMakerHomepage) << " ;\n"
        << "    doap:license <https://spdx.org/licenses/GPL-3.0-or-later> ;\n"
        << "    doap:maintainer [\n"
        << "        a foaf:Person ;\n"
        << "        foaf:name " << literal(identity::kMaker) << " ;\n";
    if (!email.empty()) out << "        foaf:mbox <mailto:" << email << "> ;\n";
    out << "        foaf:homepage " << uri(identity::kMakerHomepage) << "\n"
        << "    ] .\n\n";
    return out.str();
}

std::string controlPort(const ControlPort& control, float fresh) {
    const int32_t index = control.parameter;
    char name[64] = "";
    AutoComp(nullptr).getParameterName(index, name);
    std::ostringstream out;
    out << "        a lv2:InputPort , lv2:ControlPort ;\n"
        << "        lv2:index " << control.port << " ;\n"
        << "        lv2:symbol " << literal(control.symbol) << " ;\n"
        << "        lv2:name " << literal(name) << " ;\n"
        << "        lv2:default " << portValue(index, fresh) << " ;\n";
    if (parameters::isEnumeration(index)) {
        const int top = static_cast<int>(parameters::maxHostValue(index));
        out << "        lv2:minimum 0 ;\n"
            << "        lv2:maximum " << top << " ;\n"
            << "        lv2:portProperty lv2:integer , lv2:enumeration ;\n"
            << "        lv2:scalePoint";
        for (int k = 0; k <= top; ++k) {
            char text[32] = "";
            parameters::displayText(index, parameters::normalisedValue(index, k), text);
            out << (k ? " ,\n            " : " ") << "[ rdfs:label " << literal(text)
                << " ; rdf:value " << k << " ]";
        }
        out << "\n";
    } else {
        out << "        lv2:minimum 0.0 ;\n"
            << "        lv2:maximum 1.0 ;\n"
            << "        pprops:rangeSteps " << parameters::positions(index) << "\n";
    }
    return out.str();
}

std::string ui() {
    std::ostringstream out;
    out << uri(kUiUri) << "\n"
        << "    a ui:X11UI ;\n"
        << "    ui:binary <" << kUiBinary << "> ;\n"
        << "    lv2:requiredFeature ui:idleInterface , ui:parent ;\n"
        << "    lv2:optionalFeature ui:touch ,\n"
        << "        <http://lv2plug.in/ns/ext/instance-access> ,\n"
        << "        <http://lv2plug.in/ns/ext/data-access> ;\n"
        << "    lv2:extensionData ui:idleInterface ;\n"
        << "    ui:portNotification [\n"
        << "        ui:plugin " << uri(kPluginUri) << " ;\n"
        << "        lv2:symbol \"meter\" ;\n"
        << "        ui:protocol ui:floatProtocol\n"
        << "    ] .\n\n";
    return out.str();
}

// The main input and output; the output is made from the input.
std::string groups() {
    std::ostringstream out;
    out << uri(kInGroupUri) << "\n"
        << "    a pg:InputGroup , pg:StereoGroup ;\n"
        << "    lv2:symbol \"in\" ;\n"
        << "    rdfs:label \"Input\" .\n\n"
        << uri(kOutGroupUri) << "\n"
        << "    a pg:OutputGroup , pg:StereoGroup ;\n"
        << "    lv2:symbol \"out\" ;\n"
        << "    rdfs:label \"Output\" ;\n"
        << "    pg:source " << uri(kInGroupUri) << " .\n\n";
    return out.str();
}

std::string plugin(const std::string& maintainer, bool withUi) {
    int major = 0, minor = 0, micro = 0;
    std::sscanf(KRV_VERSION_TEXT, "%d.%d.%d", &major, &minor, &micro);
    AutoComp fresh(nullptr);
    std::ostringstream out;
    out << kPrefixes << project(maintainer);
    out << uri(kStoreAccessUri) << "\n    a lv2:ExtensionData .\n\n";
    out << uri(kProgramKeyUri) << "\n"
        << "    a rdf:Property ;\n"
        << "    rdfs:label \"program\" ;\n"
        << "    rdfs:comment \"The store's program a factory preset is, 1 to 32\" ;\n"
        << "    rdfs:range xsd:int .\n\n";
    out << uri(kPluginUri) << "\n"
        << "    a lv2:Plugin , lv2:CompressorPlugin ;\n"
        << "    lv2:project " << uri(kPluginUri + std::string("#project")) << " ;\n"
        << "    doap:name " << literal(identity::kName) << " ;\n"
        << "    doap:license <https://spdx.org/licenses/GPL-3.0-or-later> ;\n"
        << "    rdfs:comment \"Stereo opto compressor with valve saturation\" ;\n"
        // LV2 reads an even minor version as a release: 1.1.6 is 1010.6.
        << "    lv2:minorVersion " << 1000 * major + 10 * minor << " ;\n"
        << "    lv2:microVersion " << micro << " ;\n"
        << "    lv2:optionalFeature urid:map , lv2:hardRTCapable ;\n"
        << "    lv2:extensionData state:interface , " << uri(kStoreAccessUri) << " ;\n";
    if (withUi) out << "    ui:ui " << uri(kUiUri) << " ;\n";
    // The channels as one stereo input and one stereo output: hosts that make one stream of
    // each side (GStreamer) take the plug-in only so.
    out << "    pg:mainInput " << uri(kInGroupUri) << " ;\n"
        << "    pg:mainOutput " << uri(kOutGroupUri) << " ;\n";
    struct AudioPort {
        const char* direction;
        const char* symbol;
        const char* name;
        const char* group;
        const char* channel;
    };
    const AudioPort audio[] = {{"lv2:InputPort", "in_l", "Left in", kInGroupUri, "pg:left"},
                               {"lv2:InputPort", "in_r", "Right in", kInGroupUri, "pg:right"},
                               {"lv2:OutputPort", "out_l", "Left out", kOutGroupUri, "pg:left"},
                               {"lv2:OutputPort", "out_r", "Right out", kOutGroupUri, "pg:right"}};
    static_assert(sizeof(audio) / sizeof(audio[0]) == kFirstControl);
    out << "    lv2:port";
    for (uint32_t port = 0; port < kNumPorts; ++port) {
        out << (port ? " , [\n" : " [\n");
        if (port < kFirstControl) {
            const AudioPort& a = audio[port];
            out << "        a " << a.direction << " , lv2:AudioPort ;\n"
                << "        lv2:index " << port << " ;\n"
                << "        lv2:symbol " << literal(a.symbol) << " ;\n"
                << "        lv2:name " << literal(a.name) << " ;\n"
                << "        pg:group " << uri(a.group) << " ;\n"
                << "        lv2:designation " << a.channel << "\n";
        } else if (port == kMeter) {
            out << "        a lv2:OutputPort , lv2:ControlPort ;\n"
                << "        lv2:index " << port << " ;\n"
                << "        lv2:symbol \"meter\" ;\n"
                << "        lv2:name \"Gain reduction\" ;\n"
                << "        rdfs:comment \"Smoothed linear gain, 1 for no reduction\" ;\n"
                << "        lv2:default 1.0 ;\n"
                << "        lv2:minimum 0.0 ;\n"
                << "        lv2:maximum 1.0\n";
        } else {
            const ControlPort& control = kControls[port - kFirstControl];
            out << controlPort(control, fresh.getParameter(control.parameter));
        }
        out << "    ]";
    }
    out << " .\n\n";
    out << groups();
    out << "# The editor: described only when its library (" << kUiBinary << ") is built.\n\n";
    if (withUi) out << ui();
    return out.str();
}

std::string manifest() {
    std::ostringstream out;
    out << kPrefixes;
    out << uri(kPluginUri) << "\n"
        << "    a lv2:Plugin ;\n"
        << "    lv2:binary <" << kDspBinary << "> ;\n"
        << "    rdfs:seeAlso <" << kPluginFile << "> .\n\n";
    for (int program = 1; program < kNumPrograms; ++program)
        out << presetUri(program) << "\n"
            << "    a pset:Preset ;\n"
            << "    lv2:appliesTo " << uri(kPluginUri) << " ;\n"
            << "    rdfs:label " << literal(kFactoryPresets[program].name) << " ;\n"
            << "    rdfs:seeAlso <" << kPresetsFile << "> .\n\n";
    return out.str();
}

std::string presets() {
    std::ostringstream out;
    out << kPrefixes;
    for (int program = 1; program < kNumPrograms; ++program) {
        const FactoryPreset& preset = kFactoryPresets[program];
        const float values[] = {preset.process, preset.ratio, preset.time, preset.compression,
                                preset.output};
        static_assert(sizeof(values) / sizeof(values[0]) == kNumControls);
        out << presetUri(program) << "\n"
            << "    a pset:Preset ;\n"
            << "    lv2:appliesTo " << uri(kPluginUri) << " ;\n"
            << "    rdfs:label " << literal(preset.name) << " ;\n"
            << "    lv2:port";
        for (uint32_t i = 0; i < kNumControls; ++i)
            out << (i ? " , [\n" : " [\n") << "        lv2:symbol " << literal(kControls[i].symbol)
                << " ;\n        pset:value " << portValue(kControls[i].parameter, values[i])
                << "\n    ]";
        // The program it is: a host applying the preset restores this state, and the
        // store selects the program, so the editor shows the preset's name.
        out << " ;\n    state:state [\n        " << uri(kProgramKeyUri) << " \"" << program
            << "\"^^xsd:int\n    ] .\n\n";
    }
    return out.str();
}

bool write(const std::string& folder, const char* name, const std::string& text) {
    std::ofstream file(folder + "/" + name, std::ios::binary | std::ios::trunc);
    file << text;
    file.close();
    if (!file) std::cerr << "krv-lv2-ttl: cannot write " << folder << "/" << name << "\n";
    return static_cast<bool>(file);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3 || argc > 4 || (argc == 4 && std::strcmp(argv[3], "--ui") != 0)) {
        std::cerr << "usage: krv-lv2-ttl OUTPUT_FOLDER \"NAME <EMAIL>\" [--ui]\n";
        return 2;
    }
    const std::string folder = argv[1];
    const bool withUi = argc == 4;
    const bool ok = write(folder, "manifest.ttl", manifest()) &&
                    write(folder, kPluginFile, plugin(argv[2], withUi)) &&
                    write(folder, kPresetsFile, presets());
    return ok ? 0 : 1;
}
