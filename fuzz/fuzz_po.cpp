// Reads arbitrary bytes as a PO file. A file read is written back and must read as the same
// catalog; a refusal must name a line of the text.
#include "exchange/PoFile.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const tw::Expected<tw::PoCatalog> read = tw::ReadPo(text);
    if (!read) {
        const std::string reason = read.Reason();
        if (reason.rfind("line ", 0) != 0) std::abort();
        const std::size_t line = std::strtoul(reason.c_str() + 5, nullptr, 10);
        std::size_t lines = 1;
        for (const char c : text) lines += c == '\n' ? 1 : 0;
        if (line == 0 || line > lines) std::abort();
        return 0;
    }
    const tw::Expected<tw::PoCatalog> again = tw::ReadPo(tw::WritePo(*read));
    if (!again || !(*again == *read)) std::abort();
    return 0;
}
