// Any bytes as a WAV file: the reader must answer with samples or a FileError,
// never crash, hang or read out of bounds.
#include "sampler/io/FileError.h"
#include "sampler/io/ReadWaveFile.h"
#include "sampler/io/TFileWaveStream.h"
#include "sampler/io/TPCMWaveReader.h"

#include "FuzzFile.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string path = fuzz::writeInput(".wav", data, size);
    try {
        const sarnel::WaveFileData wave = sarnel::readWaveFile(path);
        if (wave.floatCount < 0 || static_cast<std::size_t>(wave.floatCount) != wave.samples.size())
            std::abort();
        // The mono mix takes the other conversion path.
        sarnel::TFileWaveStream stream(path, nullptr);
        sarnel::TPCMWaveReader reader(stream);
        const std::vector<float> mono = reader.readAll(true);
        if (static_cast<std::size_t>(reader.sampleCount()) != mono.size())
            std::abort();
    } catch (const sarnel::FileError&) {
    }
    return 0;
}
