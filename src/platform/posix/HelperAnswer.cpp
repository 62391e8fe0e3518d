#include "platform/posix/HelperAnswer.h"

#include "platform/posix/ChosenPath.h"

namespace platform::posix {

Asked askedBy(const HelperResult& result) {
    if (result.end == HelperResult::End::Killed) return Asked::Cancelled;
    if (!result.statusKnown) return result.output.empty() ? Asked::Cancelled : Asked::Answered;
    if (result.exitCode == 0) return Asked::Answered;
    if (result.exitCode == 1) return Asked::Cancelled;
    return Asked::Unavailable;
}

Choice settle(const FileDialogOptions& options, const std::string& output) {
    std::string path;
    switch (readChosenPath(output, path)) {
        case PathCheck::Garbage: return {Choice::Kind::Cancelled, ""};
        case PathCheck::TooLong: return {Choice::Kind::TooLong, ""};
        case PathCheck::Ok: break;
    }
    std::string extended = withDefaultExtension(path, options.defaultExtension);
    if (checkPathLength(extended) != PathCheck::Ok) return {Choice::Kind::TooLong, ""};
    if (options.kind == FileDialogOptions::Kind::Open) {
        if (isRegularFile(path)) return {Choice::Kind::Chosen, path};
        if (pathExists(path)) return {Choice::Kind::Cancelled, ""};
        if (isRegularFile(extended)) return {Choice::Kind::Chosen, extended};
        if (options.mustExist || pathExists(extended)) return {Choice::Kind::Cancelled, ""};
        return {Choice::Kind::Chosen, extended};
    }
    if (isFolder(path) || isFolder(extended)) return {Choice::Kind::Cancelled, ""};
    // The helper confirmed the name it was given, not the one with the extension added.
    if (extended != path && options.confirmOverwrite && pathExists(extended))
        return {Choice::Kind::AskAgain, extended};
    return {Choice::Kind::Chosen, extended};
}

}  // namespace platform::posix
