// Any bytes as the data of a drop. As an X11 text/uri-list: the URIs counted are the lines
// that hold something besides trailing spaces, CRs and zero bytes and do not start with
// '#', and the count stays the same for the list cut in two and with CRLF turned into LF.
// As a Windows file list (CF_HDROP): read only within its size (an exact-size copy, so
// the sanitizer sees a read past it); a list built from the names in the bytes counts
// exactly those names in either width, whatever follows it, and nothing once cut short.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "FuzzCheck.h"
#include "platform/common/DroppedFileList.h"
#include "platform/posix/UriList.h"

namespace {

int uriLines(const std::string& list) {
    int count = 0;
    std::size_t start = 0;
    for (;;) {
        std::size_t end = list.find('\n', start);
        std::string line = list.substr(start, end == std::string::npos ? end : end - start);
        std::size_t last = line.find_last_not_of(std::string(" \r\0", 3));
        if (last != std::string::npos && line[line.find_first_not_of(' ')] != '#') ++count;
        if (end == std::string::npos) return count;
        start = end + 1;
    }
}

void checkUriList(const std::string& list, std::size_t cut) {
    int count = platform::posix::countUriListItems(list);
    require(count == uriLines(list), "one item per URI line");
    std::string first = list.substr(0, cut), second = list.substr(cut);
    require(platform::posix::countUriListItems(first + "\n" + second) ==
                platform::posix::countUriListItems(first) +
                    platform::posix::countUriListItems(second),
            "two lists joined count as both");
    std::string unix;
    for (std::size_t i = 0; i < list.size(); ++i)
        if (!(list[i] == '\r' && i + 1 < list.size() && list[i + 1] == '\n')) unix += list[i];
    require(platform::posix::countUriListItems(unix) == count, "CRLF and LF end lines alike");
}

int countCopy(const std::vector<unsigned char>& bytes, std::size_t size) {
    std::unique_ptr<unsigned char[]> exact(new unsigned char[size]);
    std::copy(bytes.begin(), bytes.begin() + std::ptrdiff_t(size), exact.get());
    return platform::countDroppedFiles(exact.get(), size);
}

void put32(std::vector<unsigned char>& bytes, std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) bytes.push_back((value >> shift) & 0xFF);
}

void checkFileList(const std::string& input, bool wide, std::size_t cut) {
    std::vector<unsigned char> raw(input.begin(), input.end());
    int count = countCopy(raw, raw.size());
    require(count >= 0 && std::size_t(count) <= raw.size() / 2, "no more names than bytes allow");

    // The names are the runs of the input between its zero bytes.
    std::vector<std::string> names;
    std::size_t start = 0;
    while (start < input.size()) {
        std::size_t end = std::min(input.find('\0', start), input.size());
        if (end > start) names.push_back(input.substr(start, end - start));
        start = end + 1;
    }
    std::vector<unsigned char> list;
    put32(list, 20);
    for (int field = 0; field < 3; ++field) put32(list, 0);
    put32(list, wide ? 1 : 0);
    auto putUnit = [&](unsigned char c) {
        list.push_back(c);
        if (wide) list.push_back(0);
    };
    for (const std::string& name : names) {
        for (char c : name) putUnit(static_cast<unsigned char>(c));
        putUnit(0);
    }
    putUnit(0);
    require(countCopy(list, list.size()) == int(names.size()),
            "a well-formed list counts its names");
    std::size_t shorter = 20 + cut % (list.size() - 20);
    require(countCopy(list, shorter) == 0, "a list cut short counts nothing");
    list.insert(list.end(), raw.begin(), raw.end());
    require(countCopy(list, list.size()) == int(names.size()), "what follows the list is not read");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string input(reinterpret_cast<const char*>(data), size);
    std::size_t cut = size ? data[0] : 0;
    checkUriList(input, std::min(cut, size));
    checkFileList(input, size && (data[size - 1] & 1), cut);
    return 0;
}
