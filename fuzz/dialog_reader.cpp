// Any bytes as what a dialog helper printed, its ending and the dialog's options taken
// from the first byte. Only a helper that ended well answers. The path a caller hears of
// is absolute, one line, short enough for the system, and the helper's own answer or it
// with the default extension; an open dialog chooses an existing file or, where allowed,
// a name nothing holds; a save dialog never chooses a folder, and asks again only about
// an existing file the extension named. A leading '~' stands for a scratch folder that
// holds files and folders with and without the extension, so the file system's answers
// vary.
#include <climits>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "FuzzCheck.h"
#include "platform/posix/HelperAnswer.h"

namespace {

namespace fs = std::filesystem;
using platform::FileDialogOptions;
using platform::posix::Asked;
using platform::posix::Choice;
using platform::posix::HelperResult;

const char* const kExtensions[] = {"", "krb", "krv", "k"};

bool isFile(const std::string& path) {
    std::error_code error;
    return fs::is_regular_file(path, error);
}
bool isFolder(const std::string& path) {
    std::error_code error;
    return fs::is_directory(path, error);
}
bool exists(const std::string& path) {
    std::error_code error;
    return fs::exists(path, error);
}

HelperResult ending(std::uint8_t code, const std::string& output) {
    HelperResult result;
    result.output = output;
    switch (code) {
        case 0: case 1: break;
        case 2: result.exitCode = 1; break;
        case 3: result.exitCode = 2; break;
        case 4: result.exitCode = 255; break;
        case 5: result.end = HelperResult::End::Killed; break;
        default: result.statusKnown = false; break;
    }
    return result;
}

void checkAsked(const HelperResult& result) {
    Asked asked = platform::posix::askedBy(result);
    bool exited = result.end == HelperResult::End::Exited;
    require((asked == Asked::Answered) ==
                (exited && (result.statusKnown ? result.exitCode == 0 : !result.output.empty())),
            "an answer exactly from a helper that ended well");
    require(asked != Asked::Unavailable ||
                (exited && result.statusKnown && result.exitCode != 0 && result.exitCode != 1),
            "only an exit code of its own tells that a helper cannot serve");
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    const std::string& folder = scratchFolder();
    for (const char* file : {"/take.krb", "/plain", "/mix.krb", "/dot.k"})
        std::ofstream(folder + file) << "x";
    for (const char* sub : {"/folder", "/mix", "/box.krv"}) fs::create_directory(folder + sub);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    FileDialogOptions options;
    options.kind = data[0] & 1 ? FileDialogOptions::Kind::Save : FileDialogOptions::Kind::Open;
    options.mustExist = data[0] & 2;
    options.confirmOverwrite = data[0] & 4;
    options.defaultExtension = kExtensions[(data[0] >> 3) & 3];
    std::string output(reinterpret_cast<const char*>(data + 1), size - 1);
    if (!output.empty() && output[0] == '~') output = scratchFolder() + output.substr(1);
    checkAsked(ending(data[0] >> 5, output));

    Choice choice = platform::posix::settle(options, output);
    std::string text = output;
    if (!text.empty() && text.back() == '\n') text.pop_back();
    bool valid = !text.empty() && text[0] == '/' && text.find('\n') == std::string::npos &&
                 text.find('\0') == std::string::npos;
    std::string name = text.substr(text.rfind('/') + 1);
    bool extend = !options.defaultExtension.empty() && !name.empty() &&
                  name.find('.', 1) == std::string::npos;
    std::string extended = extend ? text + "." + options.defaultExtension : text;
    bool tooLong = extended.size() >= PATH_MAX;

    if (!valid) {
        require(choice.kind == Choice::Kind::Cancelled, "garbage is a cancel");
        return 0;
    }
    require((choice.kind == Choice::Kind::TooLong) == tooLong, "too long exactly past the limit");
    if (tooLong) return 0;
    bool open = options.kind == FileDialogOptions::Kind::Open;
    switch (choice.kind) {
        case Choice::Kind::Chosen:
            require(choice.path == text || choice.path == extended, "the answer, or it extended");
            require(choice.path[0] == '/' && choice.path.size() < PATH_MAX &&
                        choice.path.find('\n') == std::string::npos &&
                        choice.path.find('\0') == std::string::npos,
                    "an absolute path on one line");
            if (open)
                require((isFile(choice.path) && (choice.path == text || !exists(text))) ||
                            (!options.mustExist && !exists(text) && !exists(extended)),
                        "open: the file answered, else its extended name, else a new name "
                        "where allowed");
            else
                require(choice.path == extended && !isFolder(text) && !isFolder(extended) &&
                            (text == extended || !options.confirmOverwrite || !exists(extended)),
                        "save: the extended name, no folder, overwriting only unasked");
            break;
        case Choice::Kind::AskAgain:
            require(!open && options.confirmOverwrite && choice.path == extended &&
                        text != extended && exists(extended) && !isFolder(extended) &&
                        !isFolder(text),
                    "asked again only about an existing file the extension named");
            break;
        case Choice::Kind::Cancelled:
            if (open)
                require(!isFile(text) && (exists(text) || !isFile(extended)),
                        "open: an existing file is never refused");
            else
                require(isFolder(text) || isFolder(extended), "save: only a folder is refused");
            break;
        case Choice::Kind::TooLong: break;
    }
    return 0;
}
