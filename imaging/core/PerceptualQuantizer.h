#pragma once
// A palette of at most 256 colours for a whole 32-bit picture, chosen to
// minimise the perceptual error of mapping each pixel to its nearest entry
// (see NearestColorMap.h for the space). Every distinct colour is kept as it
// is when there are no more than wanted. Otherwise the colours are gathered
// into cells of a histogram (exact sums, so means stay exact), the cells are
// split into boxes (VarianceBoxes.h), and the box means are refined by
// k-means passes over the cells. Since those passes only reach the nearest
// local minimum, entries whose clusters cost little to merge into a
// neighbour's are then moved to cut the costliest clusters in two, in
// batches kept only when they lower the total error. The same picture always
// gives the same palette.
#include <cstdint>
#include <vector>

#include "imaging/core/Dib32.h"
#include "imaging/core/NearestColorMap.h"

namespace px {

struct PerceptualOptions {
    int32_t wanted = 256;       // 1..256 (InvalidPropertyValue 380 otherwise)
    int32_t refinePasses = 8;   // k-means passes at most; they stop early once nothing moves
    int32_t moveRounds = 8;     // rounds of moving idle entries to costly clusters at most
};

// Entries ordered by luma (then red, green, blue). Empty for an empty picture.
std::vector<Rgb8> BuildPerceptualPalette(const Pixels32& picture, const PerceptualOptions& options = {});

}  // namespace px
