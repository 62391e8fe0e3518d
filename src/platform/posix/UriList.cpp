#include "platform/posix/UriList.h"

namespace platform::posix {

int countUriListItems(const std::string& list) {
    int count = 0;
    size_t start = 0;
    while (start < list.size()) {
        size_t end = list.find('\n', start);
        if (end == std::string::npos) end = list.size();
        std::string line = list.substr(start, end - start);
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\0'))
            line.pop_back();
        size_t first = line.find_first_not_of(' ');
        if (first != std::string::npos && line[first] != '#') ++count;
        start = end + 1;
    }
    return count;
}

}  // namespace platform::posix
