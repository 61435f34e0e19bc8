#pragma once

#include "util/Error.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>

namespace tw {

// One registry file of a Wine prefix (system.reg holds HKEY_LOCAL_MACHINE). The file is text:
//
//   WINE REGISTRY Version 2
//   ;; All keys relative to \\Machine
//   #arch=win64
//
//   [Software\\Maxis\\The Sims] 1700000000
//   #time=1d9...
//   "SIMS_DATA"="C:\\Program Files\\Maxis\\The Sims\\"
//   "Bin"=hex:01,02,\ (a line break after the backslash)
//     03
//   "Flag"=dword:00000001
//   @=str(2):"%SystemRoot%"
//
// Names and strings are escaped (\\ \" \[ \] \n \t ... \xNNNN with up to four hex digits, octal
// \NNN); the parser takes exactly the escapes that Wine writes and refuses any other, as it
// refuses truncated lines, values outside a key and anything else it does not know, so that a
// damaged file is reported rather than half read.
class WineRegistry {
public:
    enum : std::uint32_t { TypeSz = 1, TypeExpandSz = 2, TypeBinary = 3, TypeDword = 4, TypeLink = 6, TypeMultiSz = 7 };

    struct Value {
        std::uint32_t type = 0;
        // The data as the registry holds it: strings as UTF-16LE including their final zero.
        std::string data;
    };

    // Replaces the contents with the keys of `text`. Malformed text fails, naming the line and
    // the fault, and leaves the registry empty.
    Status Parse(std::string_view text);

    // Keys and value names are compared without regard to ASCII letter case; key paths use
    // single backslashes ("Software\Maxis\The Sims"). The default value has the name "".
    bool HasKey(std::string_view keyPath) const;
    const Value* FindValue(std::string_view keyPath, std::string_view name) const;
    std::size_t KeyCount() const { return keys_.size(); }

    // The value's data taken as text up to its first zero and never beyond its length, as a
    // program reading the registry with the ANSI calls sees it: string types are decoded from
    // UTF-16 (here into UTF-8), every other type is its raw bytes.
    static std::string Text(const Value& value);

private:
    using ValueMap = std::unordered_map<std::string, Value>;
    std::unordered_map<std::string, ValueMap> keys_;  // by lower-cased path, then lower-cased name
};

}  // namespace tw
