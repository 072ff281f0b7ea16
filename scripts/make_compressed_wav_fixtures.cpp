// Writes the small compressed WAV files that the sampler_io tests decode on
// every target (Windows has no libsndfile to make them at test time).
// Built and run by make-compressed-wav-fixtures.sh; see there.
//
// With --fuzz-seeds it writes instead the seed corpus of the WAV reader's
// fuzzer: a short file of every format the reader knows (PCM of each width,
// float, extensible, µ-law, A-law, IMA and Microsoft ADPCM, GSM 6.10), and of
// the compressed ones also the damage found in the wild: a block align that
// does not fit the codec, a 'data' chunk longer than the file, a chunk after
// the data or at the start of the samples whose size runs past the end, a
// file cut inside a block.
//
// Every file holds 1000 frames (12000 for the "long" one, which spans several
// conversions of the reader) at 8000 Hz of
//   channel 0: 0.5  × sin(2π × 440 × n ÷ 8000)
//   channel 1: 0.25 × sin(2π × 660 × n ÷ 8000)   (stereo files only)
// The tests compute the same signal to judge the decoded result.
#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

constexpr int kRate = 8000;
bool writeFixture(const std::string& path, int subFormat, int channels, int frameCount,
                  int container = SF_FORMAT_WAV) {
    SF_INFO info{};
    info.samplerate = kRate;
    info.channels = channels;
    info.format = container | subFormat;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!file) {
        std::fprintf(stderr, "%s: %s\n", path.c_str(), sf_strerror(nullptr));
        return false;
    }
    const double pi = 3.14159265358979323846;
    std::vector<float> frames(static_cast<std::size_t>(frameCount * channels));
    for (int n = 0; n < frameCount; ++n) {
        frames[static_cast<std::size_t>(n * channels)] = static_cast<float>(0.5 * std::sin(2.0 * pi * 440.0 * n / kRate));
        if (channels == 2)
            frames[static_cast<std::size_t>(n * channels + 1)] =
                static_cast<float>(0.25 * std::sin(2.0 * pi * 660.0 * n / kRate));
    }
    const bool ok = sf_writef_float(file, frames.data(), frameCount) == frameCount;
    sf_close(file);
    return ok;
}

using Bytes = std::vector<std::uint8_t>;

Bytes readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool writeBytes(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

std::uint32_t get32(const Bytes& bytes, std::size_t at) {
    return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 | static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}

void put16(Bytes& bytes, std::size_t at, std::uint32_t value) {
    bytes[at] = static_cast<std::uint8_t>(value & 0xFF);
    bytes[at + 1] = static_cast<std::uint8_t>((value >> 8) & 0xFF);
}

void put32(Bytes& bytes, std::size_t at, std::uint32_t value) {
    put16(bytes, at, value & 0xFFFF);
    put16(bytes, at + 2, value >> 16);
}

// Offset of the body of the first chunk `id` (its size field is 4 bytes
// before), or 0 when the file has none.
std::size_t chunkBody(const Bytes& bytes, const char* id) {
    std::size_t at = 12;
    while (at + 8 <= bytes.size()) {
        const std::uint32_t size = get32(bytes, at + 4);
        if (std::equal(id, id + 4, bytes.begin() + static_cast<long>(at)))
            return at + 8;
        at += 8 + size + (size & 1);
    }
    return 0;
}

struct Seed {
    const char* name;
    int subFormat;
    int channels;
    int frames;
    int container;
    bool compressed; // also write the damaged variants
};

bool writeDamagedVariants(const std::string& stem, const Bytes& file) {
    const std::size_t fmt = chunkBody(file, "fmt ");
    const std::size_t data = chunkBody(file, "data");
    if (fmt == 0 || data == 0)
        return false;
    const std::uint32_t blockAlign = file[fmt + 12] | file[fmt + 13] << 8;
    const std::uint32_t dataSize = get32(file, data - 4);
    bool ok = true;

    Bytes odd = file; // one byte more per block than the codec packs
    put16(odd, fmt + 12, blockAlign * 2 + 1);
    ok = writeBytes(stem + "_odd_align.wav", odd) && ok;

    Bytes overlong = file; // a size never fixed by its writer
    put32(overlong, data - 4, dataSize * 64 + 24);
    ok = writeBytes(stem + "_overlong_data.wav", overlong) && ok;

    Bytes both = odd;
    put32(both, data - 4, dataSize * 64 + 24);
    ok = writeBytes(stem + "_odd_align_overlong_data.wav", both) && ok;

    Bytes trailing(file.begin(), file.begin() + static_cast<long>(data + dataSize + (dataSize & 1)));
    for (const char c : {'L', 'I', 'S', 'T', '\x5a', '\x00', '\x5c', '\xff', 'I', 'N', 'F', 'O'})
        trailing.push_back(static_cast<std::uint8_t>(c));
    put32(trailing, 4, static_cast<std::uint32_t>(trailing.size() - 8));
    ok = writeBytes(stem + "_list_past_end.wav", trailing) && ok;

    // A writer that counted its 'LIST' chunk into the data: the samples start
    // with a chunk header whose size runs far past the end. With two wrong
    // block aligns, so that the data length comes out odd and even.
    for (const std::uint32_t wrongAlign : {blockAlign + 1, blockAlign * 2 + 1}) {
        Bytes listInData(file.begin(), file.begin() + static_cast<long>(data));
        put16(listInData, fmt + 12, wrongAlign);
        for (const char c : {'L', 'I', 'S', 'T', '\x5a', '\x00', '\x5c', '\xff'})
            listInData.push_back(static_cast<std::uint8_t>(c));
        listInData.insert(listInData.end(), file.begin() + static_cast<long>(data), file.end());
        put32(listInData, data - 4, dataSize + 8);
        put32(listInData, 4, static_cast<std::uint32_t>(listInData.size() - 8));
        ok = writeBytes(stem + "_align_" + std::to_string(wrongAlign) + "_list_in_data.wav", listInData) && ok;
    }

    Bytes cut(file.begin(), file.begin() + static_cast<long>(data + std::min(dataSize, blockAlign + blockAlign / 2)));
    ok = writeBytes(stem + "_cut_in_block.wav", cut) && ok;
    return ok;
}

// PCM widths libsndfile does not write: 20 bits in 3- and 4-byte containers,
// 24 bits in 4-byte ones, made by relabelling 24- and 32-bit files.
bool writeRelabelledPcm(const std::string& folder, const std::string& from, const char* name, int bits) {
    Bytes file = readBytes(folder + "/" + from);
    const std::size_t fmt = chunkBody(file, "fmt ");
    if (fmt == 0)
        return false;
    put16(file, fmt + 14, static_cast<std::uint32_t>(bits));
    return writeBytes(folder + "/" + name, file);
}

bool writeFuzzSeeds(const std::string& folder) {
    const Seed seeds[] = {
        {"pcm_u8_mono", SF_FORMAT_PCM_U8, 1, 64, SF_FORMAT_WAV, false},
        {"pcm_16_stereo", SF_FORMAT_PCM_16, 2, 64, SF_FORMAT_WAV, false},
        {"pcm_24_stereo", SF_FORMAT_PCM_24, 2, 64, SF_FORMAT_WAV, false},
        {"pcm_32_mono", SF_FORMAT_PCM_32, 1, 64, SF_FORMAT_WAV, false},
        {"float_stereo", SF_FORMAT_FLOAT, 2, 64, SF_FORMAT_WAV, false},
        {"extensible_pcm_16_stereo", SF_FORMAT_PCM_16, 2, 64, SF_FORMAT_WAVEX, false},
        {"extensible_float_mono", SF_FORMAT_FLOAT, 1, 64, SF_FORMAT_WAVEX, false},
        {"ulaw_mono", SF_FORMAT_ULAW, 1, 64, SF_FORMAT_WAV, true},
        {"ulaw_stereo", SF_FORMAT_ULAW, 2, 64, SF_FORMAT_WAV, true},
        {"alaw_stereo", SF_FORMAT_ALAW, 2, 64, SF_FORMAT_WAV, true},
        {"ima_adpcm_mono", SF_FORMAT_IMA_ADPCM, 1, 1100, SF_FORMAT_WAV, true},
        {"ima_adpcm_stereo", SF_FORMAT_IMA_ADPCM, 2, 600, SF_FORMAT_WAV, true},
        {"ms_adpcm_mono", SF_FORMAT_MS_ADPCM, 1, 600, SF_FORMAT_WAV, true},
        {"ms_adpcm_stereo", SF_FORMAT_MS_ADPCM, 2, 600, SF_FORMAT_WAV, true},
        {"gsm610_mono", SF_FORMAT_GSM610, 1, 640, SF_FORMAT_WAV, true},
    };
    bool ok = true;
    for (const Seed& seed : seeds) {
        const std::string stem = folder + "/" + seed.name;
        if (!writeFixture(stem + ".wav", seed.subFormat, seed.channels, seed.frames, seed.container)) {
            ok = false;
            continue;
        }
        Bytes file = readBytes(stem + ".wav");
        if (seed.compressed) {
            ok = writeDamagedVariants(stem, file) && ok;
        } else {
            // A writer that never fixed the data size is common for PCM too.
            const std::size_t data = chunkBody(file, "data");
            ok = data != 0 && ok;
            if (data != 0) {
                put32(file, data - 4, 0xFFFFFFFFu);
                ok = writeBytes(stem + "_overlong_data.wav", file) && ok;
            }
        }
    }
    ok = writeRelabelledPcm(folder, "pcm_24_stereo.wav", "pcm_20_packed_stereo.wav", 20) && ok;
    ok = writeRelabelledPcm(folder, "pcm_32_mono.wav", "pcm_20_in_32_mono.wav", 20) && ok;
    ok = writeRelabelledPcm(folder, "pcm_32_mono.wav", "pcm_24_in_32_mono.wav", 24) && ok;
    return ok;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "--fuzz-seeds")
        return writeFuzzSeeds(argv[2]) ? 0 : 1;
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s [--fuzz-seeds] <output folder>\n", argv[0]);
        return 2;
    }
    const std::string folder = argv[1];
    struct Fixture {
        const char* name;
        int subFormat;
        int channels;
        int frames;
    };
    const Fixture fixtures[] = {
        {"ima_adpcm_mono.wav", SF_FORMAT_IMA_ADPCM, 1, 1000},
        {"ima_adpcm_stereo.wav", SF_FORMAT_IMA_ADPCM, 2, 1000},
        {"ms_adpcm_mono.wav", SF_FORMAT_MS_ADPCM, 1, 1000},
        {"ms_adpcm_stereo.wav", SF_FORMAT_MS_ADPCM, 2, 1000},
        {"ulaw_stereo.wav", SF_FORMAT_ULAW, 2, 1000},
        {"alaw_mono.wav", SF_FORMAT_ALAW, 1, 1000},
        {"gsm610_mono.wav", SF_FORMAT_GSM610, 1, 1000},
        {"gsm610_long_mono.wav", SF_FORMAT_GSM610, 1, 12000},
    };
    bool ok = true;
    for (const Fixture& fixture : fixtures)
        ok = writeFixture(folder + "/" + fixture.name, fixture.subFormat, fixture.channels, fixture.frames) && ok;
    return ok ? 0 : 1;
}
