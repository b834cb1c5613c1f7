#include "imaging/cDIB32Filter.h"

#include "imaging/core/Random.h"

namespace px {

void cDIB32Filter::Noise(cDIB32& dib, int32_t level, int32_t step) {
    if (!dib.hDIB()) return;
    px::Noise(dib.Pixels(), level, step, ProcessRandom());
    ProgressEnd();
}

}  // namespace px
