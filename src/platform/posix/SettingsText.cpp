#include "platform/posix/SettingsText.h"

namespace platform {

namespace {

const char kHexDigits[] = "0123456789abcdef";

void appendHexByte(std::string& out, unsigned char byte) {
    out += kHexDigits[byte >> 4];
    out += kHexDigits[byte & 0x0F];
}

void appendQuoted(std::string& out, const std::string& text) {
    out += '"';
    for (char c : text) {
        unsigned char byte = static_cast<unsigned char>(c);
        if (c == '\\' || c == '"') {
            out += '\\';
            out += c;
        } else if (byte < 0x20 || byte >= 0x7F) {
            out += "\\x";
            appendHexByte(out, byte);
        } else {
            out += c;
        }
    }
    out += '"';
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Reads two hex digits at line[at]; -1 when there are none.
int hexByteAt(const std::string& line, std::size_t at) {
    if (at + 1 >= line.size()) return -1;
    int high = hexValue(line[at]), low = hexValue(line[at + 1]);
    return high < 0 || low < 0 ? -1 : high * 16 + low;
}

// Reads a quoted text starting at line[at]; moves at past the closing quote. A zero
// byte, raw or escaped, makes the text invalid: names and strings never hold one.
bool readQuoted(const std::string& line, std::size_t& at, std::string& text) {
    if (at >= line.size() || line[at] != '"') return false;
    text.clear();
    for (++at; at < line.size(); ++at) {
        char c = line[at];
        if (c == '"') {
            ++at;
            return true;
        }
        if (c == '\\') {
            if (++at >= line.size()) return false;
            char escaped = line[at];
            if (escaped == '\\' || escaped == '"') {
                c = escaped;
            } else if (escaped == 'x') {
                int byte = hexByteAt(line, at + 1);
                if (byte < 0) return false;
                c = static_cast<char>(byte);
                at += 2;
            } else {
                return false;
            }
        }
        if (c == '\0') return false;
        text += c;
    }
    return false;  // no closing quote
}

bool readHexBytes(const std::string& line, std::size_t at, std::string& bytes) {
    bytes.clear();
    if (at == line.size()) return true;
    for (;;) {
        int byte = hexByteAt(line, at);
        if (byte < 0) return false;
        bytes += static_cast<char>(byte);
        at += 2;
        if (at == line.size()) return true;
        if (line[at] != ',') return false;
        ++at;
    }
}

bool parseValueLine(const std::string& line, SettingsValue& value) {
    std::size_t at = 0;
    if (!readQuoted(line, at, value.name)) return false;
    if (at >= line.size() || line[at] != '=') return false;
    ++at;
    if (line.compare(at, 4, "hex:") == 0) {
        value.type = SettingsValueType::Binary;
        return readHexBytes(line, at + 4, value.data);
    }
    value.type = SettingsValueType::String;
    return readQuoted(line, at, value.data) && at == line.size();
}

}  // namespace

std::string formatSettingsText(const std::string& keyPath, const SettingsKey& key) {
    std::string out = "[" + keyPath + "]\n";
    for (const SettingsValue& value : key.values()) {
        // A zero byte could not be read back, so such a name or string is not written.
        if (value.name.find('\0') != std::string::npos) continue;
        if (value.type == SettingsValueType::String &&
            value.data.find('\0') != std::string::npos)
            continue;
        appendQuoted(out, value.name);
        out += '=';
        if (value.type == SettingsValueType::String) {
            appendQuoted(out, value.data);
        } else {
            out += "hex:";
            for (std::size_t i = 0; i < value.data.size(); ++i) {
                if (i > 0) out += ',';
                appendHexByte(out, static_cast<unsigned char>(value.data[i]));
            }
        }
        out += '\n';
    }
    return out;
}

SettingsKey parseSettingsText(const std::string& text) {
    SettingsKey key;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] != '"') continue;
        SettingsValue value;
        if (parseValueLine(line, value)) key.set(value);
    }
    return key;
}

}  // namespace platform
