#pragma once
// Huffman tables made for the picture at hand from the symbol counts of a
// first pass: code lengths limited to 16 bits, the all-ones code left unused
// as baseline files require, codes assigned in canonical order.
#include <array>
#include <cstdint>

namespace px::jpeg {

// A table as the file's DHT segment carries it.
struct HuffmanSpec {
    std::array<uint8_t, 17> counts{};  // counts[n]: number of codes n bits long (n = 1..16)
    std::array<uint8_t, 256> symbols{};  // symbols in order of increasing code length
    int symbolCount = 0;
};

// Code and length of every symbol (length 0: symbol not in the table).
struct HuffmanCodes {
    std::array<uint16_t, 256> code{};
    std::array<uint8_t, 256> length{};
};

// Best table for these symbol frequencies; symbols with frequency 0 get no
// code. At least one frequency must be non-zero.
HuffmanSpec BuildHuffmanSpec(const std::array<uint64_t, 256>& frequencies);

HuffmanCodes MakeHuffmanCodes(const HuffmanSpec& spec);

}  // namespace px::jpeg
