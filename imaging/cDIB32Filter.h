#pragma once
// Filters applied to the GIF export's working picture before dithering.
#include <cstdint>

#include "base/Event.h"
#include "imaging/cDIB32.h"

namespace px {

class cDIB32Filter {
public:
    Event<int32_t> Progress;  // declared for listeners; never raised
    Event<> ProgressEnd;

    // Random brightness noise of -level..level, the same for blue, green and
    // red of a pixel, on every step-th pixel of every step-th row. Draws from
    // the process-wide generator and never reseeds it.
    void Noise(cDIB32& dib, int32_t level, int32_t step);
};

}  // namespace px
