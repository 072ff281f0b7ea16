#include "host/WaveWriter.h"

#include <bit>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <filesystem>

namespace host {
namespace {

static_assert(std::endian::native == std::endian::little, "WAV data is written in memory order");

constexpr std::uint16_t kFormatPcm = 1;
constexpr std::uint16_t kFormatFloat = 3;
// The RIFF size field counts 32 bits, so a WAV file stays below 4 GiB.
constexpr std::uint64_t kMaxRiffBytes = 0xFFFFFFFFull;

void putLe(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

// Positive values scale by the largest positive code, negative ones by the
// most negative, so +1.0 and -1.0 are both exact and a reader that divides
// the same way (as Sarnel's does) gets every value back within half a step.
std::int32_t quantise(float value, double scale) {
  if (std::isnan(value)) return 0;
  const double clipped = value > 1.0f ? 1.0 : (value < -1.0f ? -1.0 : static_cast<double>(value));
  return static_cast<std::int32_t>(std::nearbyint(clipped * (clipped > 0.0 ? scale - 1.0 : scale)));
}

}  // namespace

int WaveWriter::bytesPerSample(SampleFormat format) {
  switch (format) {
    case SampleFormat::pcm16: return 2;
    case SampleFormat::pcm24: return 3;
    case SampleFormat::float32: return 4;
  }
  return 4;
}

double WaveWriter::fullScale(SampleFormat format) {
  switch (format) {
    case SampleFormat::pcm16: return 32768.0;
    case SampleFormat::pcm24: return 8388608.0;
    case SampleFormat::float32: return 1.0;
  }
  return 1.0;
}

WaveWriter::WaveWriter(const std::string& path, SampleFormat format, int sampleRate, int channels)
    : finalPath(path), tempPath(path + ".part"), format(format), sampleRate(sampleRate), channels(channels) {
  if (channels < 1 || sampleRate < 1) throw WaveWriteError("invalid WAV layout");
  file = std::fopen(tempPath.c_str(), "wb");
  if (file == nullptr) {
    throw WaveWriteError("cannot create '" + tempPath + "': " + std::strerror(errno));
  }
  writeHeader(0);
}

WaveWriter::~WaveWriter() { abandon(); }

void WaveWriter::abandon() {
  if (file == nullptr) return;
  std::fclose(file);
  file = nullptr;
  std::error_code ignored;
  std::filesystem::remove(tempPath, ignored);
}

void WaveWriter::put(const void* data, std::size_t size) {
  if (std::fwrite(data, 1, size, file) != size) {
    const std::string reason = std::strerror(errno);
    abandon();
    throw WaveWriteError("cannot write '" + tempPath + "': " + reason);
  }
}

void WaveWriter::writeHeader(std::uint32_t dataSize) {
  const bool isFloat = format == SampleFormat::float32;
  const std::uint32_t sampleBytes = static_cast<std::uint32_t>(bytesPerSample(format));
  const std::uint32_t blockAlign = sampleBytes * static_cast<std::uint32_t>(channels);
  // Formats other than PCM carry the extension size in 'fmt ' and a 'fact' chunk.
  const std::uint32_t fmtSize = isFloat ? 18 : 16;
  const std::uint32_t factSize = isFloat ? 12 : 0;
  const std::uint32_t padded = dataSize + (dataSize & 1u);
  std::vector<std::uint8_t> header;
  header.insert(header.end(), {'R', 'I', 'F', 'F'});
  putLe(header, 4 + (8 + fmtSize) + factSize + 8 + padded, 4);
  header.insert(header.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
  putLe(header, fmtSize, 4);
  putLe(header, isFloat ? kFormatFloat : kFormatPcm, 2);
  putLe(header, static_cast<std::uint32_t>(channels), 2);
  putLe(header, static_cast<std::uint32_t>(sampleRate), 4);
  putLe(header, static_cast<std::uint32_t>(sampleRate) * blockAlign, 4);
  putLe(header, blockAlign, 2);
  putLe(header, sampleBytes * 8, 2);
  if (isFloat) {
    putLe(header, 0, 2);
    header.insert(header.end(), {'f', 'a', 'c', 't'});
    putLe(header, 4, 4);
    putLe(header, blockAlign == 0 ? 0 : dataSize / blockAlign, 4);
  }
  header.insert(header.end(), {'d', 'a', 't', 'a'});
  putLe(header, dataSize, 4);
  put(header.data(), header.size());
}

void WaveWriter::write(const float* const* channelData, int count) {
  if (file == nullptr) throw WaveWriteError("'" + tempPath + "' is no longer open");
  if (count <= 0) return;
  const int sampleBytes = bytesPerSample(format);
  const std::uint64_t addBytes = static_cast<std::uint64_t>(count) * static_cast<std::uint64_t>(channels) *
                                 static_cast<std::uint64_t>(sampleBytes);
  if (dataBytes + addBytes + 64 > kMaxRiffBytes) {
    abandon();
    throw WaveWriteError("the output would exceed 4 GiB, the limit of a WAV file");
  }
  buffer.clear();
  buffer.reserve(static_cast<std::size_t>(addBytes));
  const double scale = fullScale(format);
  for (int i = 0; i < count; ++i) {
    for (int c = 0; c < channels; ++c) {
      const float value = channelData[c][i];
      if (format == SampleFormat::float32) {
        putLe(buffer, std::bit_cast<std::uint32_t>(value), 4);
      } else {
        putLe(buffer, static_cast<std::uint32_t>(quantise(value, scale)), sampleBytes);
      }
    }
  }
  put(buffer.data(), buffer.size());
  dataBytes += addBytes;
  frames += count;
}

void WaveWriter::commit() {
  if (file == nullptr) throw WaveWriteError("'" + tempPath + "' is no longer open");
  if ((dataBytes & 1u) != 0) {
    const std::uint8_t pad = 0;
    put(&pad, 1);
  }
  if (std::fseek(file, 0, SEEK_SET) != 0) {
    abandon();
    throw WaveWriteError("cannot seek in '" + tempPath + "'");
  }
  writeHeader(static_cast<std::uint32_t>(dataBytes));
  const bool flushed = std::fflush(file) == 0;
  const bool closed = std::fclose(file) == 0;
  file = nullptr;
  std::error_code error;
  if (!flushed || !closed) {
    std::filesystem::remove(tempPath, error);
    throw WaveWriteError("cannot finish '" + tempPath + "'");
  }
  std::filesystem::rename(tempPath, finalPath, error);
  if (error) {
    // Some systems refuse to rename onto an existing file.
    std::error_code removeError;
    std::filesystem::remove(finalPath, removeError);
    error.clear();
    std::filesystem::rename(tempPath, finalPath, error);
  }
  if (error) {
    std::error_code ignored;
    std::filesystem::remove(tempPath, ignored);
    throw WaveWriteError("cannot rename '" + tempPath + "' to '" + finalPath + "': " + error.message());
  }
}

}  // namespace host
