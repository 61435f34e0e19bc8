#pragma once

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace tw::test {

// A fresh folder below the system's temporary folder, removed with everything in it at the end.
class TempFolder {
public:
    explicit TempFolder(std::string_view prefix = "tw-test") {
        // Test cases run as parallel processes: the random part keeps their folders apart.
        static std::atomic<unsigned> counter{0};
        const std::string unique = std::to_string(std::random_device{}()) + "-" + std::to_string(counter++);
        path_ = std::filesystem::temp_directory_path() / (std::string(prefix) + "-" + unique);
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all, std::filesystem::perm_options::add,
                                     ignored);
        std::filesystem::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

    // Writes a file below the folder (`relative` with '/'), creating its folders.
    std::filesystem::path Write(std::string_view relative, std::string_view content) const {
        const std::filesystem::path file = path_ / std::filesystem::path(std::string(relative));
        std::filesystem::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary).write(content.data(), static_cast<std::streamsize>(content.size()));
        return file;
    }

    // Creates a folder below this one (`relative` with '/').
    std::filesystem::path Folder(std::string_view relative) const {
        const std::filesystem::path folder = path_ / std::filesystem::path(std::string(relative));
        std::filesystem::create_directories(folder);
        return folder;
    }

private:
    std::filesystem::path path_;
};

// Every file below `folder`, relative with '/', sorted.
inline std::vector<std::string> FilesBelow(const std::filesystem::path& folder) {
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder))
        if (entry.is_regular_file()) files.push_back(entry.path().lexically_relative(folder).generic_string());
    std::sort(files.begin(), files.end());
    return files;
}

}  // namespace tw::test
