#include "host/PresetFile.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "framework/Opcodes.h"
#include "host/Plugin.h"

namespace host {
namespace {

constexpr std::int32_t kChunkMagic = vst::fourCharCode('C', 'c', 'n', 'K');
constexpr std::int32_t kProgramMagic = vst::fourCharCode('F', 'x', 'C', 'k');
constexpr std::int32_t kBankMagic = vst::fourCharCode('F', 'x', 'B', 'k');
constexpr std::int32_t kOpaqueProgramMagic = vst::fourCharCode('F', 'P', 'C', 'h');
constexpr std::int32_t kOpaqueBankMagic = vst::fourCharCode('F', 'B', 'C', 'h');
constexpr std::size_t kBankReservedBytes = 128;
// Program record before its values: magic, size, kind, version, ID, plug-in
// version, count (4 bytes each) and the name.
constexpr std::size_t kProgramHeaderBytes = 7 * 4 + PresetFile::kNameBytes;
constexpr std::size_t kBankHeaderBytes = 7 * 4 + kBankReservedBytes;
// Far beyond any plug-in; a larger count is a damaged file, not a big one.
constexpr std::uint32_t kMaxCount = 1u << 20;
constexpr std::size_t kMaxFileBytes = 256u * 1024u * 1024u;

[[noreturn]] void malformed(std::size_t offset, const std::string& what) {
  throw PresetFileError(PresetFileError::Kind::malformed, what + " (byte offset " + std::to_string(offset) + ")");
}

void putBe(std::vector<std::uint8_t>& out, std::uint32_t value) {
  for (int i = 3; i >= 0; --i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

void encodeProgram(std::vector<std::uint8_t>& out, const PresetFile& preset, const ProgramState& program) {
  putBe(out, static_cast<std::uint32_t>(kChunkMagic));
  putBe(out, static_cast<std::uint32_t>(kProgramHeaderBytes - 8 + 4 * program.values.size()));
  putBe(out, static_cast<std::uint32_t>(kProgramMagic));
  putBe(out, 1);
  putBe(out, static_cast<std::uint32_t>(preset.uniqueId));
  putBe(out, static_cast<std::uint32_t>(preset.pluginVersion));
  putBe(out, static_cast<std::uint32_t>(program.values.size()));
  char name[PresetFile::kNameBytes] = {};
  std::memcpy(name, program.name.data(), std::min(program.name.size(), PresetFile::kNameBytes - 1));
  out.insert(out.end(), name, name + PresetFile::kNameBytes);
  for (float value : program.values) putBe(out, std::bit_cast<std::uint32_t>(value));
}

class BigEndianReader {
 public:
  BigEndianReader(const std::uint8_t* data, std::size_t size) : data(data), size(size) {}
  std::size_t offset() const { return pos; }
  std::size_t remaining() const { return size - pos; }
  std::uint32_t word(const char* what) {
    if (remaining() < 4) malformed(pos, std::string("the file ends inside ") + what);
    const std::uint32_t value = (std::uint32_t{data[pos]} << 24) | (std::uint32_t{data[pos + 1]} << 16) |
                                (std::uint32_t{data[pos + 2]} << 8) | data[pos + 3];
    pos += 4;
    return value;
  }
  const std::uint8_t* take(std::size_t count, const char* what) {
    if (remaining() < count) malformed(pos, std::string("the file ends inside ") + what);
    const std::uint8_t* start = data + pos;
    pos += count;
    return start;
  }

 private:
  const std::uint8_t* data;
  std::size_t size;
  std::size_t pos = 0;
};

// Reads 'CcnK' and the size that follows; answers the end of the record.
std::size_t recordEnd(BigEndianReader& in, const char* what) {
  const std::size_t start = in.offset();
  if (in.remaining() < 4 || static_cast<std::int32_t>(in.word(what)) != kChunkMagic) {
    malformed(start, std::string("not a VST preset file: no 'CcnK' at the start of ") + what);
  }
  const std::uint32_t size = in.word(what);
  if (size > in.remaining()) {
    malformed(start + 4, std::string(what) + " claims " + std::to_string(size) + " bytes but only " +
                             std::to_string(in.remaining()) + " follow");
  }
  return in.offset() + size;
}

void refuseOpaque(std::int32_t kind, std::size_t offset) {
  if (kind == kOpaqueProgramMagic || kind == kOpaqueBankMagic) {
    malformed(offset, "the file holds an opaque chunk, but these plug-ins keep their state in parameter values");
  }
}

ProgramState decodeProgram(BigEndianReader& in, PresetFile& preset, bool inBank) {
  const std::size_t start = in.offset();
  const std::size_t end = recordEnd(in, "a program record");
  const std::size_t kindAt = in.offset();
  const auto kind = static_cast<std::int32_t>(in.word("a program record"));
  refuseOpaque(kind, kindAt);
  if (kind != kProgramMagic) malformed(kindAt, "expected a program record ('FxCk'), found '" + fourCharText(kind) + "'");
  in.word("a program record");  // the record version: 1 in every known writer
  const auto id = static_cast<std::int32_t>(in.word("a program record"));
  const auto version = static_cast<std::int32_t>(in.word("a program record"));
  if (!inBank) {
    preset.uniqueId = id;
    preset.pluginVersion = version;
  } else if (id != preset.uniqueId) {
    malformed(kindAt + 8, "a program of the bank belongs to plug-in '" + fourCharText(id) + "', the bank to '" +
                              fourCharText(preset.uniqueId) + "'");
  }
  const std::size_t countAt = in.offset();
  const std::uint32_t count = in.word("a program record");
  if (count > kMaxCount) malformed(countAt, "implausible parameter count " + std::to_string(count));
  const std::uint8_t* name = in.take(PresetFile::kNameBytes, "a program name");
  ProgramState program;
  const std::uint8_t* nameEnd = std::find(name, name + PresetFile::kNameBytes, std::uint8_t{0});
  program.name.assign(name, nameEnd);
  if (end < in.offset() || end - in.offset() < 4ull * count) {
    malformed(start + 4, "the program record's size is too small for its " + std::to_string(count) + " values");
  }
  program.values.reserve(count);
  for (std::uint32_t i = 0; i < count; ++i) program.values.push_back(std::bit_cast<float>(in.word("the values")));
  // Anything a writer placed after the values within the record is skipped.
  in.take(end - in.offset(), "a program record");
  return program;
}

void writeWholeFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  const std::string temp = path + ".part";
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    if (!out) {
      throw PresetFileError(PresetFileError::Kind::unreadable,
                            "cannot create '" + temp + "': " + std::strerror(errno));
    }
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
      std::error_code ignored;
      std::filesystem::remove(temp, ignored);
      throw PresetFileError(PresetFileError::Kind::unreadable, "cannot write '" + temp + "'");
    }
  }
  std::error_code error;
  std::filesystem::rename(temp, path, error);
  if (error) {
    std::error_code ignored;
    std::filesystem::remove(path, ignored);
    error.clear();
    std::filesystem::rename(temp, path, error);
  }
  if (error) {
    std::error_code ignored;
    std::filesystem::remove(temp, ignored);
    throw PresetFileError(PresetFileError::Kind::unreadable,
                          "cannot rename '" + temp + "' to '" + path + "': " + error.message());
  }
}

void setProgramName(Plugin& plugin, const std::string& name) {
  // Hosts hand over at most 24 characters; the plug-in may keep fewer.
  char text[256] = {};
  std::memcpy(text, name.data(), std::min<std::size_t>(name.size(), 24));
  plugin.dispatch(vst::effSetProgramName, 0, 0, text);
}

void applyProgram(Plugin& plugin, const ProgramState& program) {
  setProgramName(plugin, program.name);
  for (std::size_t i = 0; i < program.values.size(); ++i) {
    plugin.setParameter(static_cast<int>(i), program.values[i]);
  }
}

}  // namespace

std::string fourCharText(std::int32_t id) {
  std::string text;
  for (int shift = 24; shift >= 0; shift -= 8) {
    const auto c = static_cast<unsigned char>(static_cast<std::uint32_t>(id) >> shift);
    text += c >= 0x20 && c < 0x7F ? static_cast<char>(c) : '?';
  }
  return text;
}

std::vector<std::uint8_t> encodePresetFile(const PresetFile& preset) {
  std::vector<std::uint8_t> out;
  if (!preset.isBank) {
    encodeProgram(out, preset, preset.programs.at(0));
    return out;
  }
  putBe(out, static_cast<std::uint32_t>(kChunkMagic));
  putBe(out, 0);  // size, filled in below
  putBe(out, static_cast<std::uint32_t>(kBankMagic));
  putBe(out, static_cast<std::uint32_t>(preset.formatVersion));
  putBe(out, static_cast<std::uint32_t>(preset.uniqueId));
  putBe(out, static_cast<std::uint32_t>(preset.pluginVersion));
  putBe(out, static_cast<std::uint32_t>(preset.programs.size()));
  // Version 2 keeps the current program in the first reserved word.
  const std::uint32_t current = preset.formatVersion >= 2 ? static_cast<std::uint32_t>(preset.currentProgram) : 0;
  putBe(out, current);
  out.insert(out.end(), kBankReservedBytes - 4, std::uint8_t{0});
  for (const ProgramState& program : preset.programs) encodeProgram(out, preset, program);
  const auto size = static_cast<std::uint32_t>(out.size() - 8);
  for (int i = 0; i < 4; ++i) out[4 + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(size >> (8 * (3 - i)));
  return out;
}

PresetFile decodePresetFile(const std::uint8_t* data, std::size_t size) {
  if (size < 12) malformed(0, "not a VST preset file: only " + std::to_string(size) + " bytes");
  const std::uint32_t kind = (std::uint32_t{data[8]} << 24) | (std::uint32_t{data[9]} << 16) |
                             (std::uint32_t{data[10]} << 8) | data[11];
  PresetFile preset;
  BigEndianReader in(data, size);
  if (static_cast<std::int32_t>(kind) != kBankMagic && static_cast<std::int32_t>(kind) != kOpaqueBankMagic) {
    preset.isBank = false;
    preset.programs.push_back(decodeProgram(in, preset, false));
    return preset;
  }
  preset.isBank = true;
  const std::size_t end = recordEnd(in, "the bank");
  refuseOpaque(static_cast<std::int32_t>(in.word("the bank header")), 8);
  const std::size_t versionAt = in.offset();
  preset.formatVersion = static_cast<std::int32_t>(in.word("the bank header"));
  if (preset.formatVersion != 1 && preset.formatVersion != 2) {
    malformed(versionAt, "unknown bank version " + std::to_string(preset.formatVersion));
  }
  preset.uniqueId = static_cast<std::int32_t>(in.word("the bank header"));
  preset.pluginVersion = static_cast<std::int32_t>(in.word("the bank header"));
  const std::size_t countAt = in.offset();
  const std::uint32_t count = in.word("the bank header");
  if (count == 0 || count > kMaxCount) malformed(countAt, "implausible program count " + std::to_string(count));
  const std::uint8_t* reserved = in.take(kBankReservedBytes, "the bank header");
  if (preset.formatVersion >= 2) {
    preset.currentProgram = static_cast<std::int32_t>((std::uint32_t{reserved[0]} << 24) |
                                                      (std::uint32_t{reserved[1]} << 16) |
                                                      (std::uint32_t{reserved[2]} << 8) | reserved[3]);
  }
  BigEndianReader programs(data, end);
  programs.take(kBankHeaderBytes, "the bank header");
  for (std::uint32_t i = 0; i < count; ++i) preset.programs.push_back(decodeProgram(programs, preset, true));
  return preset;
}

PresetFile readPresetFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    throw PresetFileError(PresetFileError::Kind::unreadable, "cannot open '" + path + "': " + std::strerror(errno));
  }
  std::vector<std::uint8_t> bytes;
  char buffer[65536];
  while (in) {
    in.read(buffer, sizeof buffer);
    bytes.insert(bytes.end(), buffer, buffer + in.gcount());
    if (bytes.size() > kMaxFileBytes) {
      throw PresetFileError(PresetFileError::Kind::unreadable, "'" + path + "' is too large for a preset file");
    }
  }
  if (in.bad()) throw PresetFileError(PresetFileError::Kind::unreadable, "cannot read '" + path + "'");
  try {
    return decodePresetFile(bytes.data(), bytes.size());
  } catch (const PresetFileError& error) {
    throw PresetFileError(error.kind(), "'" + path + "': " + error.what());
  }
}

void writePresetFile(const std::string& path, const PresetFile& preset) {
  writeWholeFile(path, encodePresetFile(preset));
}

ProgramState captureProgram(Plugin& plugin) {
  ProgramState program;
  program.name = plugin.programName();
  program.values.reserve(static_cast<std::size_t>(plugin.numParams()));
  for (int i = 0; i < plugin.numParams(); ++i) program.values.push_back(plugin.getParameter(i));
  return program;
}

PresetFile captureProgramFile(Plugin& plugin) {
  PresetFile preset;
  preset.uniqueId = plugin.effect()->uniqueID;
  preset.pluginVersion = plugin.effect()->version;
  preset.programs.push_back(captureProgram(plugin));
  return preset;
}

PresetFile captureBank(Plugin& plugin, std::int32_t formatVersion) {
  PresetFile preset = captureProgramFile(plugin);
  preset.isBank = true;
  preset.formatVersion = formatVersion;
  const auto current = static_cast<std::int32_t>(plugin.dispatch(vst::effGetProgram));
  preset.currentProgram = formatVersion >= 2 ? current : -1;
  preset.programs.clear();
  bool switched = false;
  for (int p = 0; p < plugin.numPrograms(); ++p) {
    // Switching only when needed: selecting a program may make an
    // instrument reload what the program refers to.
    if (p != current) {
      plugin.dispatch(vst::effSetProgram, 0, p);
      switched = true;
    } else if (switched) {
      plugin.dispatch(vst::effSetProgram, 0, p);
      switched = false;
    }
    preset.programs.push_back(captureProgram(plugin));
  }
  if (switched) plugin.dispatch(vst::effSetProgram, 0, current);
  return preset;
}

void applyPresetFile(Plugin& plugin, const PresetFile& preset) {
  const vst::AEffect* effect = plugin.effect();
  if (preset.uniqueId != effect->uniqueID) {
    throw PresetFileError(PresetFileError::Kind::wrongPlugin,
                          "the preset belongs to the plug-in with ID '" + fourCharText(preset.uniqueId) +
                              "', not to this one ('" + fourCharText(effect->uniqueID) + "')");
  }
  for (const ProgramState& program : preset.programs) {
    if (program.values.size() != static_cast<std::size_t>(effect->numParams)) {
      throw PresetFileError(PresetFileError::Kind::mismatch,
                            "the preset holds " + std::to_string(program.values.size()) +
                                " parameter values, the plug-in has " + std::to_string(effect->numParams));
    }
  }
  if (preset.programs.size() > static_cast<std::size_t>(effect->numPrograms)) {
    throw PresetFileError(PresetFileError::Kind::mismatch,
                          "the bank holds " + std::to_string(preset.programs.size()) +
                              " programs, the plug-in has " + std::to_string(effect->numPrograms));
  }
  if (!preset.isBank) {
    plugin.dispatch(vst::effBeginSetProgram);
    applyProgram(plugin, preset.programs.front());
    plugin.dispatch(vst::effEndSetProgram);
    return;
  }
  const auto previous = static_cast<std::int32_t>(plugin.dispatch(vst::effGetProgram));
  for (std::size_t p = 0; p < preset.programs.size(); ++p) {
    plugin.dispatch(vst::effBeginSetProgram);
    plugin.dispatch(vst::effSetProgram, 0, static_cast<vst::VstIntPtr>(p));
    applyProgram(plugin, preset.programs[p]);
    plugin.dispatch(vst::effEndSetProgram);
  }
  const bool validCurrent =
      preset.currentProgram >= 0 && preset.currentProgram < static_cast<std::int32_t>(preset.programs.size());
  plugin.dispatch(vst::effSetProgram, 0, validCurrent ? preset.currentProgram : previous);
}

}  // namespace host
