// Any bytes as a tuning file and as a Scala file: the map must load, report a
// message or raise a FileError, and never hold a cents value that is not a
// number afterwards.
#include "sampler/io/CTuningMap.h"
#include "sampler/io/FileError.h"

#include "FuzzFile.h"

#include <cmath>
#include <cstdlib>

namespace {

void load(const char* extension, const std::uint8_t* data, std::size_t size) {
    const std::string path = fuzz::writeInput(extension, data, size);
    sarnel::CTuningMap map;
    try {
        map.loadFile(path);
    } catch (const sarnel::FileError&) {
    }
    for (int n = 0; n < sarnel::CTuningMap::kNoteCount; ++n)
        if (std::isnan(map.noteCents(n)))
            std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    load(".tun", data, size);
    load(".scl", data, size);
    return 0;
}
