#include "imaging/core/Random.h"

namespace px {

UniformRandom& ProcessRandom() {
    static UniformRandom generator;
    return generator;
}

}  // namespace px
