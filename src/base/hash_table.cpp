#include "base/hash_table.h"

#include <cmath>

int32_t HashBucketIndex(uint32_t word, int32_t bucketCount) {
    static const double golden = (std::sqrt(5.0) - 1.0) / 2.0;
    double scaled = golden * static_cast<double>(word % static_cast<uint32_t>(bucketCount));
    return static_cast<int32_t>(std::floor(bucketCount * std::fmod(scaled, 1.0)));
}
