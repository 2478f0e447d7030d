// Paths as editors give them: '\' or '/' between directories, an extension
// dot only inside the last component.
#include <filesystem>
#include <system_error>

#include "frontend/frontend.h"

namespace fs = std::filesystem;

namespace frontend {

bool isSeparator(char c) { return c == '\\' || c == '/'; }

std::size_t lastSeparator(std::string_view path) {
    for (std::size_t i = path.size(); i-- > 0;)
        if (isSeparator(path[i])) return i;
    return std::string_view::npos;
}

std::string_view directoryPart(std::string_view path) {
    std::size_t sep = lastSeparator(path);
    if (sep == std::string_view::npos) return {};
    return path.substr(0, sep == 0 ? 1 : sep);  // "/x.lst" lies in the root
}

std::string_view lastComponent(std::string_view path) {
    std::size_t sep = lastSeparator(path);
    return sep == std::string_view::npos ? path : path.substr(sep + 1);
}

namespace {

std::size_t extensionDot(std::string_view path, bool first) {
    std::string_view component = lastComponent(path);
    if (component.find_first_not_of('.') == std::string_view::npos) return std::string_view::npos;  // "." and ".."
    std::size_t start = path.size() - component.size();
    std::size_t dot = first ? path.find('.', start + 1) : path.rfind('.');
    if (dot == std::string_view::npos || dot <= start) return std::string_view::npos;
    return dot;
}

}  // namespace

std::size_t firstExtensionDot(std::string_view path) { return extensionDot(path, true); }
std::size_t lastExtensionDot(std::string_view path) { return extensionDot(path, false); }

std::string joinPath(std::string_view dir, std::string_view name) {
    std::string path(dir);
    if (!path.empty() && !isSeparator(path.back())) path += separator;
    path += name;
    return path;
}

bool sameFile(const std::string& a, const std::string& b) {
    std::error_code ec;
    if (fs::exists(a, ec) && fs::exists(b, ec)) return fs::equivalent(a, b, ec);
    auto place = [](const std::string& p) {
        std::error_code e;
        fs::path full = fs::weakly_canonical(fs::absolute(p, e), e);
        return full.lexically_normal();
    };
    return place(a) == place(b);
}

bool refuseListClash(Run& run, const std::string& listPath, const std::vector<std::string>& writtenPaths) {
    for (const auto& path : writtenPaths) {
        if (!sameFile(listPath, path)) continue;
        std::string advice;
        std::size_t dot = lastExtensionDot(listPath);
        std::string_view extension = dot == std::string::npos ? std::string_view() : std::string_view(listPath).substr(dot);
        if (extension.size() != 4 || (extension[1] | 0x20) != 'l' || (extension[2] | 0x20) != 's' ||
            (extension[3] | 0x20) != 't')
            advice = ": rename the list file to " + stemNames(listPath).stem + ".lst";
        run.refuse("the list file %s is the file %s that this run writes or deletes; nothing was done%s",
                   listPath.c_str(), path.c_str(), advice.c_str());
        return true;
    }
    return false;
}

StemNames stemNames(const std::string& argument) {
    std::size_t dot = firstExtensionDot(argument);
    if (dot == std::string::npos) return {argument, argument + ".lst"};
    return {argument.substr(0, dot), argument};
}

bool removeFile(const std::string& path) { return std::remove(path.c_str()) == 0; }

}  // namespace frontend
