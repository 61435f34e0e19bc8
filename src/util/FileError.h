#pragma once

#include <stdexcept>
#include <string>

namespace tw {

// The one exception of the file layer. It carries the platform's own description of the
// failure; container and archive code catches it at its boundary and turns it into a result.
class FileError : public std::runtime_error {
public:
    explicit FileError(const std::string& description) : std::runtime_error(description) {}
};

// The platform's text for the last system error (errno, or GetLastError on Windows).
std::string LastSystemErrorText();

}  // namespace tw
