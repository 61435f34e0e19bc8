#include "locate/RecentGames.h"

#include <algorithm>

namespace tw {
namespace {

constexpr const char* FileName = "recent-games";

}  // namespace

std::vector<std::string> RecentGames::List() const {
    std::vector<std::string> folders;
    const Expected<std::string> text = folder_.ReadSettingsFile(FileName);
    if (!text) return folders;
    std::size_t start = 0;
    while (start < text->size() && folders.size() < MaxCount) {
        std::size_t end = text->find('\n', start);
        if (end == std::string::npos) end = text->size();
        std::string line = text->substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const bool folderText = !line.empty() && line.find('\0') == std::string::npos;
        if (folderText && std::find(folders.begin(), folders.end(), line) == folders.end()) folders.push_back(line);
        start = end + 1;
    }
    return folders;
}

Status RecentGames::Add(const std::string& folder) const {
    if (folder.empty() || folder.find_first_of(std::string("\r\n\0", 3)) != std::string::npos)
        return Failure("a folder text must be one non-empty line");
    std::vector<std::string> folders = List();
    std::erase(folders, folder);
    folders.insert(folders.begin(), folder);
    if (folders.size() > MaxCount) folders.resize(MaxCount);
    return Write(folders);
}

Status RecentGames::Remove(const std::string& folder) const {
    std::vector<std::string> folders = List();
    if (std::erase(folders, folder) == 0) return {};
    return Write(folders);
}

Status RecentGames::Write(const std::vector<std::string>& folders) const {
    std::string text;
    for (const std::string& folder : folders) text += folder + "\n";
    return folder_.WriteSettingsFile(FileName, text);
}

}  // namespace tw
