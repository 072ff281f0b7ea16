#pragma once
// Writes a RIFF/WAVE file frame block by frame block. Nothing appears under
// the final name until commit(): the data goes to a temporary file beside it,
// which is renamed at the end and removed when writing fails or is abandoned.

#include <cstdint>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

namespace host {

enum class SampleFormat { pcm16, pcm24, float32 };

class WaveWriteError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class WaveWriter {
 public:
  // Creates the temporary file. Throws WaveWriteError when it cannot.
  WaveWriter(const std::string& path, SampleFormat format, int sampleRate, int channels);
  ~WaveWriter();
  WaveWriter(const WaveWriter&) = delete;
  WaveWriter& operator=(const WaveWriter&) = delete;

  // Appends frames given as one pointer per channel. Values beyond ±1 are
  // clipped in the integer formats and kept in the float format.
  void write(const float* const* channelData, int frames);
  // Finishes the header and moves the file to its final name.
  void commit();
  // Removes the temporary file (also done by the destructor unless committed).
  void abandon();

  std::int64_t framesWritten() const { return frames; }
  const std::string& temporaryPath() const { return tempPath; }

  static int bytesPerSample(SampleFormat format);
  // 2^(bits-1) of an integer format: -1.0 is minus that, +1.0 one less.
  static double fullScale(SampleFormat format);

 private:
  void writeHeader(std::uint32_t dataBytes);
  void put(const void* data, std::size_t size);

  std::string finalPath;
  std::string tempPath;
  SampleFormat format;
  int sampleRate;
  int channels;
  std::FILE* file = nullptr;
  std::int64_t frames = 0;
  std::uint64_t dataBytes = 0;
  std::vector<std::uint8_t> buffer;
};

}  // namespace host
