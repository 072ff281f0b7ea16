#pragma once

// The readers take paths, so each input is written to a file of this process
// first (one per extension, reused for every input).

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <unistd.h>

namespace fuzz {

inline std::string writeInput(const char* extension, const std::uint8_t* data, std::size_t size) {
    const char* folder = std::getenv("TMPDIR");
    const std::string path = std::string(folder && *folder ? folder : "/tmp") + "/sarnel-fuzz-" +
                             std::to_string(getpid()) + extension;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        std::abort();
    if (size > 0 && std::fwrite(data, 1, size, file) != size)
        std::abort();
    std::fclose(file);
    return path;
}

} // namespace fuzz
