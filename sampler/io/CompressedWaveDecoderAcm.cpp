// Compressed wave formats on Windows, converted by the system's audio
// compression manager with the codecs installed there.
#include "CompressedWaveDecoder.h"

#include <windows.h>
#include <mmreg.h>
#include <msacm.h>

#include <cstring>
#include <vector>

namespace sarnel {
namespace {

// A WAVEFORMATEX with its extra bytes, laid out as the system expects.
class FormatBlock {
public:
    explicit FormatBlock(const WaveFormat& format) : bytes(format.toBytes()) {}
    WAVEFORMATEX* get() { return reinterpret_cast<WAVEFORMATEX*>(bytes.data()); }

private:
    std::vector<std::uint8_t> bytes;
};

class AcmDecoder final : public CompressedWaveDecoder {
public:
    ~AcmDecoder() override {
        if (prepared) {
            // The header must describe the buffers as they were prepared.
            header.cbSrcLength = static_cast<DWORD>(header.dwSrcUser);
            header.cbDstLength = static_cast<DWORD>(header.dwDstUser);
            acmStreamUnprepareHeader(stream, &header, 0);
        }
        if (stream)
            acmStreamClose(stream, 0);
    }

    bool suggestPcmFormat(const WaveFormat& source, WaveFormat& pcm) override {
        FormatBlock sourceBlock(source);
        WaveFormat request = pcm;
        request.formatTag = WaveFormat::kTagPcm;
        FormatBlock pcmBlock(request);
        if (acmFormatSuggest(nullptr, sourceBlock.get(), pcmBlock.get(), sizeof(WAVEFORMATEX),
                             ACM_FORMATSUGGESTF_WFORMATTAG) != 0)
            return false;
        const WAVEFORMATEX* suggested = pcmBlock.get();
        pcm.formatTag = suggested->wFormatTag;
        pcm.channels = suggested->nChannels;
        pcm.samplesPerSec = suggested->nSamplesPerSec;
        pcm.avgBytesPerSec = suggested->nAvgBytesPerSec;
        pcm.blockAlign = suggested->nBlockAlign;
        pcm.bitsPerSample = suggested->wBitsPerSample;
        pcm.extraSize = 0;
        pcm.extra.clear();
        return true;
    }

    bool open(const WaveFormat& source, const WaveFormat& pcm) override {
        FormatBlock sourceBlock(source);
        FormatBlock pcmBlock(pcm);
        return acmStreamOpen(&stream, nullptr, sourceBlock.get(), pcmBlock.get(), nullptr, 0, 0, 0) == 0;
    }

    bool streamSize(std::uint32_t bytes, SizeDirection direction, std::uint32_t& result) override {
        DWORD size = 0;
        const DWORD flag =
            direction == SizeDirection::sourceToPcm ? ACM_STREAMSIZEF_SOURCE : ACM_STREAMSIZEF_DESTINATION;
        if (!stream || acmStreamSize(stream, bytes, &size, flag) != 0)
            return false;
        result = size;
        return true;
    }

    bool prepareBuffers(std::uint8_t* source, std::uint32_t sourceBytes, std::uint8_t* pcm,
                        std::uint32_t pcmBytes) override {
        std::memset(&header, 0, sizeof header);
        header.cbStruct = sizeof header;
        header.pbSrc = source;
        header.cbSrcLength = sourceBytes;
        header.dwSrcUser = sourceBytes;
        header.pbDst = pcm;
        header.cbDstLength = pcmBytes;
        header.dwDstUser = pcmBytes;
        prepared = stream && acmStreamPrepareHeader(stream, &header, 0) == 0;
        return prepared;
    }

    bool convert(std::uint32_t sourceLength, std::uint32_t& pcmBytesUsed) override {
        pcmBytesUsed = 0;
        if (!prepared || sourceLength > header.dwSrcUser)
            return false;
        header.cbSrcLength = sourceLength;
        if (acmStreamConvert(stream, &header, ACM_STREAMCONVERTF_BLOCKALIGN) != 0)
            return false;
        pcmBytesUsed = header.cbDstLengthUsed;
        return true;
    }

private:
    HACMSTREAM stream = nullptr;
    ACMSTREAMHEADER header{};
    bool prepared = false;
};

} // namespace

std::unique_ptr<CompressedWaveDecoder> makeCompressedWaveDecoder() { return std::make_unique<AcmDecoder>(); }

} // namespace sarnel
