#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace tw {

class ByteWriter;

// The bit-packed number fields of a career track, read from a byte span or appended to a
// ByteWriter, most significant bit of each byte first.
//
// A signed 32-bit value is written as
//   0                        for 0
//   1 0 0 + 6 bits           for -32 .. 31
//   1 0 1 + 11 bits          for -1024 .. 1023
//   1 1 0 + 21 bits          for -1048576 .. 1048575
//   1 1 1 + 32 bits          otherwise
// always in the smallest width that holds it; the shorter widths are sign-extended on reading.
class FieldBitStream {
public:
    // A reader over `data`, starting at byte `start`. Bits past the end of the data read as 0.
    explicit FieldBitStream(std::span<const std::uint8_t> data, std::size_t start = 0);
    // A writer appending whole bytes to `out`.
    explicit FieldBitStream(ByteWriter& out);

    // The number of bits that WriteField uses for `value`.
    static int FieldBitCount(std::int32_t value);

    std::int32_t ReadField();
    bool ReadBitMsbFirst();
    // `count` bits (at most 32), the first bit read being the most significant.
    std::uint32_t ReadBitsMsbFirst(int count);
    // The byte that the reader would load next: a byte that has been partly read counts as read.
    // It may lie past the end of the data when the reader has run past it.
    std::size_t NextBytePosition() const { return next_; }
    // Continues reading at byte `position`, with no partly read byte.
    void RestartAt(std::size_t position);

    void WriteField(std::int32_t value);
    void WriteBitMsbFirst(bool bit);
    // The low `count` bits of `bits` (at most 32), most significant first.
    void WriteBitsMsbFirst(std::uint32_t bits, int count);
    // Writes a partly filled byte with its remaining low bits 0; nothing when none is pending.
    void Flush();

private:
    std::span<const std::uint8_t> data_;
    ByteWriter* out_ = nullptr;
    std::size_t next_ = 0;
    std::uint8_t current_ = 0;
    std::uint8_t mask_ = 0;
};

}  // namespace tw
