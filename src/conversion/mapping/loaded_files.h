#pragma once

#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

#include "conversion/files/platform.h"

namespace skelvane::conversion {

/// The files of one kind (mappings, rig profiles) a catalog has loaded, each kept at one place
/// under its path for as long as the catalog, so that choices may point at it. A file loaded
/// again takes the place it had.
template <typename Item>
class LoadedFiles {
public:
    /// The file loaded from `path`, as the path's bytes; null for none.
    const Item* find(std::string_view path) const {
        const auto found = files_.find(path);
        return found == files_.end() ? nullptr : found->second.get();
    }

    /// Keeps `item`, read from `file`, under that path.
    const Item* keep(const std::filesystem::path& file, Item item) {
        item.file = file;
        auto& kept = files_[platform::bytesOfPath(file)];
        if (kept) {
            *kept = std::move(item);
        } else {
            kept = std::make_unique<Item>(std::move(item));
        }
        return kept.get();
    }

    /// Calls `visit` with each file's item, in the order of their paths.
    template <typename Visit>
    void forEach(Visit visit) const {
        for (const auto& [path, item] : files_) visit(*item);
    }

private:
    std::map<std::string, std::unique_ptr<Item>, std::less<>> files_;
};

}  // namespace skelvane::conversion
