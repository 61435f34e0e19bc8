#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <system_error>

namespace tw::test {

// Everything a folder holds, as far as reading it must leave it alone: every name below it
// (files, folders, links), each with its kind, permission bits and, for files, bytes; for links,
// where they lead.
inline std::map<std::string, std::string> FolderState(const std::filesystem::path& folder) {
    namespace fs = std::filesystem;
    std::map<std::string, std::string> state;
    std::error_code ec;
    for (fs::recursive_directory_iterator it(folder, fs::directory_options::none, ec), end; !ec && it != end;
         it.increment(ec)) {
        const fs::file_status status = it->symlink_status();
        std::string what = std::to_string(static_cast<int>(status.type())) + " " +
                           std::to_string(static_cast<unsigned>(status.permissions())) + " ";
        if (fs::is_symlink(status)) {
            what += fs::read_symlink(it->path(), ec).string();
        } else if (fs::is_regular_file(status)) {
            std::ifstream in(it->path(), std::ios::binary);
            what += std::string(std::istreambuf_iterator<char>(in), {});
        }
        state[it->path().lexically_relative(folder).generic_string()] = std::move(what);
    }
    return state;
}

}  // namespace tw::test
