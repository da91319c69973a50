#include "fileList.h"

#include <algorithm>
#include <filesystem>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

bool hasNesExtension(const std::string& name) {
    static const char extension[] = ".nes";
    constexpr std::size_t length = sizeof extension - 1;
    if (name.size() < length) {
        return false;
    }
    return std::equal(name.end() - length, name.end(), extension, [](char have, char want) {
        return (have >= 'A' && have <= 'Z' ? have - 'A' + 'a' : have) == want;
    });
}

void walk(const std::string& folder, std::vector<Target>& into) {
    struct Entry {
        std::string name;
        bool isFolder;
    };
    std::vector<Entry> entries;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        std::error_code ignored;
        const bool link = it->is_symlink(ignored);
        const bool isFolder = it->is_directory(ignored);
        std::string name = it->path().filename().native();
        if (isFolder && !link) {
            entries.push_back({std::move(name), true});
        } else if (!isFolder && hasNesExtension(name)) {
            entries.push_back({std::move(name), false});
        }
    }
    if (error) {
        into.push_back({folder, "cannot read the folder: " + error.message()});
        return;
    }
    std::sort(entries.begin(), entries.end(),
              [](const Entry& a, const Entry& b) { return a.name < b.name; });
    const std::string prefix = folder.back() == '/' ? folder : folder + '/';
    for (const Entry& entry : entries) {
        if (entry.isFolder) {
            walk(prefix + entry.name, into);
        } else {
            into.push_back({prefix + entry.name, {}});
        }
    }
}

} // namespace

std::vector<Target> expandPaths(const std::vector<std::string>& args) {
    std::vector<Target> targets;
    for (const std::string& arg : args) {
        struct stat info {};
        if (!arg.empty() && ::stat(arg.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
            walk(arg, targets);
        } else {
            targets.push_back({arg, {}});
        }
    }
    return targets;
}
