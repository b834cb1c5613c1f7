#pragma once
// A JPEG sink that keeps every byte written, for tests that read the file back.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "export/core/JpegSettings.h"

namespace px::test {

class BytesSink : public jpeg::Sink {
public:
    bool Write(const uint8_t* data, size_t size) override {
        bytes.insert(bytes.end(), data, data + size);
        return true;
    }
    std::vector<uint8_t> bytes;
};

}  // namespace px::test
