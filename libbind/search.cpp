// The library search order, the same on every system.
#include <system_error>

#include "platform.h"

namespace qorbind::platform {

Opened search(const std::vector<Path> &fileNames) {
    return search(fileNames, directoriesBeforeSystem(), directoriesAfterSystem());
}

Opened search(const std::vector<Path> &fileNames, const std::vector<Path> &before,
              const std::vector<Path> &after) {
    Opened failed;
    auto attempt = [&](const Path &candidate) {
        Opened opened = open(candidate);
        if (!opened.handle && opened.fileFound) {
            failed.fileFound = true;
            failed.error = opened.error;
        }
        return opened;
    };
    auto inDirectories = [&](const std::vector<Path> &directories) {
        for (const Path &directory : directories) {
            for (const Path &name : fileNames) {
                std::error_code ignored;
                const Path candidate = directory / name;
                if (!std::filesystem::exists(candidate, ignored))
                    continue;
                if (Opened opened = attempt(candidate); opened.handle)
                    return opened;
            }
        }
        return Opened{};
    };

    if (Opened opened = inDirectories(before); opened.handle)
        return opened;
    for (const Path &name : fileNames)
        if (Opened opened = attempt(name); opened.handle)
            return opened;
    if (Opened opened = inDirectories(after); opened.handle)
        return opened;
    return failed;
}

}  // namespace qorbind::platform
