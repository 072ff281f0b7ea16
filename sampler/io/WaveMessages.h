#pragma once

namespace sarnel::wave_messages {

// The numbered texts of the wave stream and reader (06, 07, 08, 23 and 32 do
// not exist). Users and support know these numbers; keep them word for word.
inline constexpr const char* kError01 = "Error 01: Cannot create chunk.";
inline constexpr const char* kError02 = "Error 02: Cannot create chunk.";
inline constexpr const char* kError03 = "Error 03: Cannot write wave format.";
inline constexpr const char* kError04 = "Error 04: Cannot ascend chunk.";
inline constexpr const char* kError05 = "Error 05: Cannot create chunk.";
inline constexpr const char* kError09 = "Error 09: Cannot read from file.";
inline constexpr const char* kError10 = "Error 10: Cannot seek in file.";
inline constexpr const char* kError11 = "Error 11: Cannot write to file.";
inline constexpr const char* kError12 = "Error 12: Invalid multimedia file!";
inline constexpr const char* kError13 = "Error 13: Not a wave file!";
inline constexpr const char* kError14 = "Error 14: Cannot find 'fmt' chunk!";
inline constexpr const char* kError15 = "Error 15: Abnormal 'fmt' size!";
inline constexpr const char* kError16 = "Error 16: Cannot read 'fmt' chunk!";
inline constexpr const char* kError17 = "Error 17: Cannot read 'waveformatex' length!";
inline constexpr const char* kError18 = "Error 18: Cannot read 'waveformatex'!";
inline constexpr const char* kError19 = "Error 19: MPEG Layer-3 compression is not supported.";
inline constexpr const char* kError20 = "Error 20: Cannot ascend from 'fmt' chunk!";
inline constexpr const char* kError21 = "Error 21: Cannot seek to data!";
inline constexpr const char* kError22 = "Error 22: Cannot get info!";
inline constexpr const char* kError24 = "Error 24: Cannot open file.";
inline constexpr const char* kError25 = "Error 25: Cannot open file stream.";
inline constexpr const char* kError26 = "Error 26: Cannot suggest pcm format.";
inline constexpr const char* kError27 = "Error 27: Cannot open acm stream.";
inline constexpr const char* kError28 = "Error 28: Cannot prepare headers.";
inline constexpr const char* kError29 = "Error 29: Cannot recommend an acm stream size.";
inline constexpr const char* kError30 = "Error 30: Cannot recommend an acm stream size.";
inline constexpr const char* kError31 = "Error 31: Cannot recommend an acm stream size.";
inline constexpr const char* kError33 = "Error 33: Position smaller than PCMBufferSamplePos";
inline constexpr const char* kError34 = "Error 34: Unable to convert sample.";

// Our own texts for files that the numbered checks let through but that
// cannot be read safely.
inline constexpr const char* kNoDataChunk = "Cannot find 'data' chunk!";
inline constexpr const char* kNoChannels = "Invalid wave format: the channel count is 0.";
inline constexpr const char* kNoBlockAlign = "Invalid wave format: the block align is 0.";
inline constexpr const char* kFileTooLarge = "The file is too large (2 GB at most).";
inline constexpr const char* kSampleTooLarge = "The sample is too large.";
inline constexpr const char* kOutOfMemory = "Not enough memory to load the sample.";

} // namespace sarnel::wave_messages
