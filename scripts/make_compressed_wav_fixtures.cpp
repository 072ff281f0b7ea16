// Writes the small compressed WAV files that the sampler_io tests decode on
// every target (Windows has no libsndfile to make them at test time).
// Built and run by make-compressed-wav-fixtures.sh; see there.
//
// Every file holds 1000 frames (12000 for the "long" one, which spans several
// conversions of the reader) at 8000 Hz of
//   channel 0: 0.5  × sin(2π × 440 × n ÷ 8000)
//   channel 1: 0.25 × sin(2π × 660 × n ÷ 8000)   (stereo files only)
// The tests compute the same signal to judge the decoded result.
#include <sndfile.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int kRate = 8000;
bool writeFixture(const std::string& path, int subFormat, int channels, int frameCount) {
    SF_INFO info{};
    info.samplerate = kRate;
    info.channels = channels;
    info.format = SF_FORMAT_WAV | subFormat;
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

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output folder>\n", argv[0]);
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
