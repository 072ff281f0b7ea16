#pragma once

// Helpers of the sampler_io tests: a temporary folder and a byte builder for
// crafting RIFF files, including ones whose sizes lie.

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

namespace sarnel::test {

class TempDir {
public:
    TempDir() {
        std::random_device seed;
        const auto base = std::filesystem::temp_directory_path();
        for (int attempt = 0; attempt < 100; ++attempt) {
            const auto candidate = base / ("sarnel-io-test-" + std::to_string(seed()));
            if (std::filesystem::create_directory(candidate)) {
                root = candidate;
                return;
            }
        }
        throw std::runtime_error("cannot create a temporary folder");
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(root, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    std::string path(const std::string& name) const { return (root / name).string(); }

    std::string write(const std::string& name, const std::vector<std::uint8_t>& bytes) const {
        const std::string file = path(name);
        std::ofstream out(file, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        return file;
    }

    std::string write(const std::string& name, const std::string& text) const {
        return write(name, std::vector<std::uint8_t>(text.begin(), text.end()));
    }

private:
    std::filesystem::path root;
};

inline std::vector<std::uint8_t> readFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class Bytes {
public:
    Bytes& u8(std::uint8_t value) {
        data.push_back(value);
        return *this;
    }
    Bytes& u16(std::uint16_t value) { return u8(value & 0xFF).u8(static_cast<std::uint8_t>(value >> 8)); }
    Bytes& u32(std::uint32_t value) { return u16(value & 0xFFFF).u16(static_cast<std::uint16_t>(value >> 16)); }
    Bytes& i16(std::int16_t value) { return u16(static_cast<std::uint16_t>(value)); }
    Bytes& i24(std::int32_t value) {
        const auto bits = static_cast<std::uint32_t>(value);
        return u8(bits & 0xFF).u8((bits >> 8) & 0xFF).u8((bits >> 16) & 0xFF);
    }
    Bytes& i32(std::int32_t value) { return u32(static_cast<std::uint32_t>(value)); }
    Bytes& f32(float value) {
        std::uint32_t bits;
        static_assert(sizeof bits == sizeof value);
        std::memcpy(&bits, &value, sizeof bits);
        return u32(bits);
    }
    Bytes& code(const char* text) {
        for (int i = 0; i < 4; ++i)
            u8(static_cast<std::uint8_t>(text[i]));
        return *this;
    }
    Bytes& append(const std::vector<std::uint8_t>& more) {
        data.insert(data.end(), more.begin(), more.end());
        return *this;
    }
    // A chunk with its real size and pad byte.
    Bytes& chunk(const char* id, const std::vector<std::uint8_t>& body) {
        code(id).u32(static_cast<std::uint32_t>(body.size())).append(body);
        if (body.size() & 1)
            u8(0);
        return *this;
    }
    // A chunk header that claims `size` bytes, followed by `body` as it is.
    Bytes& chunkClaiming(const char* id, std::uint32_t size, const std::vector<std::uint8_t>& body) {
        return code(id).u32(size).append(body);
    }

    std::vector<std::uint8_t> data;
};

// The 16 bytes tag … bits per sample.
inline std::vector<std::uint8_t> fmtBody(std::uint16_t tag, std::uint16_t channels, std::uint32_t rate,
                                         std::uint16_t blockAlign, std::uint16_t bits) {
    return Bytes().u16(tag).u16(channels).u32(rate).u32(rate * blockAlign).u16(blockAlign).u16(bits).data;
}

// A complete RIFF/WAVE file: 'RIFF' of the right size around the chunks.
inline std::vector<std::uint8_t> riffWave(const std::vector<std::uint8_t>& chunks) {
    return Bytes().code("RIFF").u32(static_cast<std::uint32_t>(4 + chunks.size())).code("WAVE").append(chunks).data;
}

// An ordinary file: 'fmt ' then 'data'.
inline std::vector<std::uint8_t> simpleWave(const std::vector<std::uint8_t>& fmt,
                                            const std::vector<std::uint8_t>& samples) {
    return riffWave(Bytes().chunk("fmt ", fmt).chunk("data", samples).data);
}

} // namespace sarnel::test
