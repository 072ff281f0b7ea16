#include "SurfaceDriver.h"

#include <array>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "framework/HostText.h"
#include "framework/Opcodes.h"

namespace fuzz {
namespace {

constexpr int kMaxOperations = 4096;
constexpr unsigned kCommonOps = 12;
// Text capacities the hosts give: 24 for parameter and program texts (what
// the framework writes at most), 32 for the effect name, 64 for vendor and
// product strings and pin labels.
constexpr std::size_t kParameterTextCapacity = vst::kVstMaxTextLen;
constexpr std::size_t kEffectNameCapacity = vst::kVstMaxEffectNameLen;
constexpr std::size_t kVendorTextCapacity = 64;
constexpr std::size_t kPinLabelCapacity = vst::kVstMaxPinLabelLen;
constexpr std::size_t kMaxProgramNameInput = 300;

// A text as a host passes it: its own heap block, terminated.
std::unique_ptr<char[]> hostText(std::string_view text) {
  std::unique_ptr<char[]> copy(new char[text.size() + 1]);
  std::memcpy(copy.get(), text.data(), text.size());
  copy[text.size()] = '\0';
  return copy;
}

}  // namespace

vst::VstIntPtr SurfaceDriver::dispatch(vst::VstInt32 opcode, vst::VstInt32 index, vst::VstIntPtr value, void* ptr,
                                       float opt) {
  return effect_->dispatcher(effect_, opcode, index, value, ptr, opt);
}

vst::VstInt32 SurfaceDriver::anyIndex(FuzzInput& in) {
  const vst::VstInt32 numParams = effect_->numParams;
  switch (in.byte() % 8) {
    case 0:
    case 1:
    case 2:
      if (!profile_.indices.empty()) return profile_.indices[in.below(static_cast<std::uint32_t>(profile_.indices.size()))];
      [[fallthrough]];
    case 3:
      return static_cast<vst::VstInt32>(in.below(static_cast<std::uint32_t>(numParams)));
    case 4:
      return 500 + static_cast<vst::VstInt32>(in.below(1501));  // 500 ... 2000
    case 5: {
      static constexpr std::array<vst::VstInt32, 4> kNegative = {-1, -2, std::numeric_limits<vst::VstInt32>::min(),
                                                                 -1000};
      return in.flag() ? in.pick(kNegative) : -static_cast<vst::VstInt32>(in.u16());
    }
    case 6: {
      const std::array<vst::VstInt32, 4> kEdges = {numParams - 1, numParams, numParams + 1,
                                                   std::numeric_limits<vst::VstInt32>::max()};
      return in.pick(kEdges);
    }
    default:
      return in.i32();
  }
}

void SurfaceDriver::run(FuzzInput& in) {
  const unsigned opCount = kCommonOps + engineOpCount();
  for (int n = 0; n < kMaxOperations && !in.empty(); ++n) {
    const unsigned op = in.byte() % opCount;
    switch (op) {
      case 0: opSetParameter(in); break;
      case 1: opGetParameter(in); break;
      case 2: opProcessEvents(in); break;
      case 3: opProcess(in, true); break;
      case 4: opProcess(in, false); break;
      case 5: opParameterTexts(in); break;
      case 6: opPrograms(in); break;
      case 7: opRates(in); break;
      case 8: opPlainOpcodes(in); break;
      case 9: opRecords(in); break;
      case 10: in.flag() ? opEditor(in) : opUnknownOpcode(in); break;
      case 11: opCanDo(in); break;
      default: engineOp(op - kCommonOps, in); break;
    }
  }
}

std::vector<float> SurfaceDriver::renderConstant(float level, int frames) {
  std::vector<float> inL(static_cast<std::size_t>(frames), level);
  std::vector<float> inR(static_cast<std::size_t>(frames), level);
  std::vector<float> outL(static_cast<std::size_t>(frames), std::numeric_limits<float>::quiet_NaN());
  std::vector<float> outR(static_cast<std::size_t>(frames), std::numeric_limits<float>::quiet_NaN());
  float* in[2] = {inL.data(), inR.data()};
  float* out[2] = {outL.data(), outR.data()};
  effect_->processReplacing(effect_, in, out, frames);
  std::vector<float> result;
  for (int i = 0; i < frames; ++i) {
    result.push_back(outL[static_cast<std::size_t>(i)]);
    result.push_back(outR[static_cast<std::size_t>(i)]);
  }
  return result;
}

void SurfaceDriver::close() {
  if (dispatch(vst::effClose) != 1) fail("effClose did not answer 1");
  effect_ = nullptr;
}

void SurfaceDriver::opSetParameter(FuzzInput& in) {
  const vst::VstInt32 index = anyIndex(in);
  setParameter(index, in.anyFloat());
  afterSetParameter(index);
}

void SurfaceDriver::opGetParameter(FuzzInput& in) {
  const vst::VstInt32 index = anyIndex(in);
  const float value = effect_->getParameter(effect_, index);
  if (!std::isfinite(value)) fail("getParameter answered a value that is not finite");
  if (profile_.unitRange(index) && !(value >= 0.0f && value <= 1.0f)) fail("getParameter answered outside 0 ... 1");
}

void SurfaceDriver::opProcessEvents(FuzzInput& in) {
  vst::VstEvents* events = events_.build(in);
  if (dispatch(vst::effProcessEvents, 0, 0, events) != 1) fail("effProcessEvents did not answer 1");
}

void SurfaceDriver::opProcess(FuzzInput& in, bool replacing) {
  static constexpr std::array<int, 10> kSizes = {0, 1, 2, 17, 49, 50, 51, 256, 512, AudioBlock::kMaxFrames};
  int frames = 0;
  switch (in.byte() % 3) {
    case 0: frames = static_cast<int>(in.below(65)); break;
    case 1: frames = in.pick(kSizes); break;
    default: frames = static_cast<int>(in.below(AudioBlock::kMaxFrames + 1)); break;
  }
  if (frames > framesLeft_) frames = static_cast<int>(framesLeft_);
  framesLeft_ -= frames;
  audio_.prepare(in, frames, replacing);
  if (replacing) {
    effect_->processReplacing(effect_, audio_.inputs(), audio_.outputs(), frames);
    audio_.checkFinite("processReplacing left an output that is not finite");
  } else {
    effect_->process(effect_, audio_.inputs(), audio_.outputs(), frames);
    audio_.checkFinite("process left an output that is not finite");
  }
}

void SurfaceDriver::opParameterTexts(FuzzInput& in) {
  static constexpr std::array<vst::VstInt32, 3> kOpcodes = {vst::effGetParamLabel, vst::effGetParamDisplay,
                                                            vst::effGetParamName};
  const vst::VstInt32 opcode = in.pick(kOpcodes);
  const vst::VstInt32 index = anyIndex(in);
  if (dispatch(opcode, index, 0, buffer_.fresh()) != 0) fail("a parameter text opcode did not answer 0");
  buffer_.check(kParameterTextCapacity, "a parameter text overran its capacity or was not terminated");
}

void SurfaceDriver::opPrograms(FuzzInput& in) {
  const vst::VstInt32 numPrograms = effect_->numPrograms;
  const std::array<vst::VstIntPtr, 6> kPrograms = {-1, 0, 1, numPrograms - 1, numPrograms,
                                                   std::numeric_limits<vst::VstInt32>::max()};
  switch (in.byte() % 6) {
    case 0: {
      const vst::VstIntPtr value = in.flag() ? in.pick(kPrograms) : static_cast<vst::VstIntPtr>(in.i32());
      dispatch(vst::effSetProgram, 0, value);
      break;
    }
    case 1: {
      const vst::VstIntPtr program = dispatch(vst::effGetProgram);
      if (program < 0 || program >= numPrograms) fail("effGetProgram answered a program that does not exist");
      break;
    }
    case 2: {
      const std::string text = in.text(kMaxProgramNameInput);
      const auto name = hostText(text);
      dispatch(vst::effSetProgramName, 0, 0, name.get());
      break;
    }
    case 3:
      dispatch(vst::effGetProgramName, 0, 0, buffer_.fresh());
      buffer_.check(kParameterTextCapacity, "the program name overran its capacity or was not terminated");
      break;
    case 4: {
      const vst::VstInt32 index = static_cast<vst::VstInt32>(in.flag() ? in.pick(kPrograms) : in.i32());
      const vst::VstIntPtr category = in.flag() ? 0 : in.i32();
      const vst::VstIntPtr answer = dispatch(vst::effGetProgramNameIndexed, index, category, buffer_.fresh());
      const bool exists = index >= 0 && index < numPrograms;
      if (answer != (exists ? 1 : 0)) fail("effGetProgramNameIndexed answered wrongly");
      buffer_.check(exists ? kParameterTextCapacity : 0, "effGetProgramNameIndexed wrote where it must not");
      break;
    }
    default:
      dispatch(vst::effCopyProgram, in.i32());
      break;
  }
}

void SurfaceDriver::opRates(FuzzInput& in) {
  static constexpr std::array<float, 10> kRates = {44100.0f, 48000.0f, 96000.0f, 192000.0f, 8000.0f,
                                                   22050.0f, 1.0f,     0.5f,     0.0f,      -44100.0f};
  const auto anyRate = [&in] { return in.flag() ? in.pick(kRates) : in.anyFloat(); };
  const auto anyBlockSize = [&in] {
    return in.flag() ? static_cast<vst::VstIntPtr>(in.below(8193)) : static_cast<vst::VstIntPtr>(in.i32());
  };
  switch (in.byte() % 5) {
    case 0: dispatch(vst::effSetSampleRate, 0, 0, nullptr, anyRate()); break;
    case 1: dispatch(vst::effSetBlockSize, 0, anyBlockSize()); break;
    case 2: {
      const vst::VstIntPtr size = anyBlockSize();
      if (dispatch(vst::effSetBlockSizeAndSampleRate, 0, size, nullptr, anyRate()) != 1) {
        fail("effSetBlockSizeAndSampleRate did not answer 1");
      }
      break;
    }
    case 3: {
      const std::uint8_t kind = in.byte();
      const vst::VstIntPtr value = kind < 100 ? 0 : (kind < 200 ? 1 : static_cast<vst::VstIntPtr>(in.i32()));
      dispatch(vst::effMainsChanged, 0, value);
      break;
    }
    default:
      dispatch(vst::effMainsChanged, 0, 0);
      dispatch(vst::effSetSampleRate, 0, 0, nullptr, anyRate());
      dispatch(vst::effMainsChanged, 0, 1);
      break;
  }
}

void SurfaceDriver::opPlainOpcodes(FuzzInput& in) {
  // Opcodes that take no pointer, or none that the plug-ins may use.
  static constexpr std::array<vst::VstInt32, 41> kOpcodes = {
      vst::effOpen,           vst::effGetProgram,       vst::effGetVu,
      vst::effEditDraw,       vst::effEditMouse,        vst::effEditKey,
      vst::effEditTop,        vst::effEditSleep,        vst::effIdentify,
      vst::effCanBeAutomated, vst::effGetNumProgramCategories, vst::effCopyProgram,
      vst::effConnectInput,   vst::effConnectOutput,    vst::effGetPlugCategory,
      vst::effGetCurrentPosition, vst::effGetDestinationBuffer, vst::effOfflineNotify,
      vst::effOfflinePrepare, vst::effOfflineRun,       vst::effProcessVarIo,
      vst::effSetSpeakerArrangement, vst::effSetBypass, vst::effGetVendorVersion,
      vst::effGetTailSize,    vst::effIdle,             vst::effGetIcon,
      vst::effSetViewPosition, vst::effKeysRequired,    vst::effGetVstVersion,
      vst::effEditKeyDown,    vst::effEditKeyUp,        vst::effSetEditKnobMode,
      vst::effHasMidiProgramsChanged, vst::effBeginSetProgram, vst::effEndSetProgram,
      vst::effGetSpeakerArrangement, vst::effStartProcess, vst::effStopProcess,
      vst::effSetTotalSampleToProcess, vst::effSetPanLaw};
  const vst::VstInt32 opcode = in.pick(kOpcodes);
  const vst::VstInt32 index = in.flag() ? anyIndex(in) : in.i32();
  // effSetSpeakerArrangement takes its value as a pointer: a host passes
  // a record or null there.
  const vst::VstIntPtr value = opcode == vst::effSetSpeakerArrangement ? 0 : static_cast<vst::VstIntPtr>(in.i32());
  const float opt = in.anyFloat();
  const vst::VstIntPtr answer = dispatch(opcode, index, value, nullptr, opt);
  switch (opcode) {
    case vst::effIdentify:
      if (answer != vst::kIdentifyAnswer) fail("effIdentify answered wrongly");
      break;
    case vst::effGetVstVersion:
      if (answer != 2300) fail("effGetVstVersion did not answer 2300");
      break;
    case vst::effKeysRequired:
      if (answer != 1) fail("effKeysRequired did not answer 1");
      break;
    case vst::effGetVu:
      if (answer != 0) fail("effGetVu did not answer 0");
      break;
    case vst::effGetVendorVersion:
      if (answer != 1) fail("effGetVendorVersion did not answer 1");
      break;
    case vst::effGetPlugCategory:
      if (answer != ((effect_->flags & vst::effFlagsIsSynth) != 0 ? 2 : 0)) fail("effGetPlugCategory answered wrongly");
      break;
    case vst::effGetProgram:
      if (answer < 0 || answer >= effect_->numPrograms) fail("effGetProgram answered a program that does not exist");
      break;
    default:
      break;
  }
}

void SurfaceDriver::opRecords(FuzzInput& in) {
  switch (in.byte() % 12) {
    case 0: {
      vst::ERect* rect = nullptr;
      if (dispatch(vst::effEditGetRect, 0, 0, &rect) != 0) {
        if (rect == nullptr) fail("effEditGetRect answered without a rectangle");
        if (!(rect->right > rect->left && rect->bottom > rect->top)) fail("effEditGetRect gave an empty rectangle");
      }
      break;
    }
    case 1:
    case 2: {
      static constexpr std::array<vst::VstInt32, 5> kPins = {-1, 0, 1, 2, 64};
      const vst::VstInt32 index = in.flag() ? in.pick(kPins) : in.i32();
      const bool output = in.flag();
      const vst::VstIntPtr answer =
          dispatch(output ? vst::effGetOutputProperties : vst::effGetInputProperties, index, 0, buffer_.fresh());
      if (answer == 0) {
        buffer_.check(0, "pin properties written though the answer was 0");
        break;
      }
      if (!output || index < 0 || index > 1) fail("pin properties answered for a pin that does not exist");
      buffer_.checkRange(0, kPinLabelCapacity, "pin properties overran the record", sizeof(vst::VstPinProperties));
      vst::VstPinProperties properties;
      std::memcpy(&properties, buffer_.data(), sizeof properties);
      if (properties.flags != (vst::kVstPinIsActive | vst::kVstPinIsStereo)) fail("pin flags are not 3");
      break;
    }
    case 3:
      if (dispatch(vst::effGetEffectName, 0, 0, buffer_.fresh()) != 1) fail("effGetEffectName did not answer 1");
      buffer_.check(kEffectNameCapacity, "the effect name overran its capacity");
      break;
    case 4:
    case 5: {
      const vst::VstInt32 opcode = in.flag() ? vst::effGetVendorString : vst::effGetProductString;
      if (dispatch(opcode, 0, 0, buffer_.fresh()) != 1) fail("a vendor or product string was not given");
      buffer_.check(kVendorTextCapacity, "a vendor or product string overran its capacity");
      break;
    }
    case 6: {
      // Opcodes whose record the plug-ins leave alone.
      static constexpr std::array<vst::VstInt32, 11> kUntouched = {
          vst::effGetErrorText,     vst::effGetParameterProperties, vst::effGetMidiProgramName,
          vst::effGetCurrentMidiProgram, vst::effGetMidiProgramCategory, vst::effGetMidiKeyName,
          vst::effShellGetNextPlugin, vst::effBeginLoadBank,       vst::effBeginLoadProgram,
          vst::effGetInputProperties, vst::effVendorSpecific};
      const vst::VstInt32 opcode = in.pick(kUntouched);
      dispatch(opcode, anyIndex(in), in.i32(), buffer_.fresh(), in.anyFloat());
      buffer_.check(0, "a record that the plug-ins do not fill was written");
      break;
    }
    case 7: {
      const std::string text = in.text(64);
      const auto copy = hostText(text);
      dispatch(vst::effString2Parameter, anyIndex(in), 0, copy.get());
      break;
    }
    case 8: {
      void* chunk = &chunk;
      void* const before = chunk;
      if (dispatch(vst::effGetChunk, in.flag() ? 1 : 0, 0, &chunk) != 0) fail("effGetChunk answered a chunk");
      if (chunk != before) fail("effGetChunk changed the host's variable");
      break;
    }
    case 9: {
      const std::string bytes = in.text(256);
      std::unique_ptr<char[]> block(new char[bytes.size() + 1]);
      std::memcpy(block.get(), bytes.data(), bytes.size());
      if (dispatch(vst::effSetChunk, in.flag() ? 1 : 0, static_cast<vst::VstIntPtr>(bytes.size()), block.get()) != 0) {
        fail("effSetChunk accepted a chunk");
      }
      break;
    }
    case 10: {
      const std::string text = in.text(64);
      const auto copy = hostText(text);
      dispatch(vst::effSetProgramName, 0, 0, copy.get());
      dispatch(vst::effGetProgramName, 0, 0, buffer_.fresh());
      buffer_.check(kParameterTextCapacity, "the program name overran its capacity");
      break;
    }
    default:
      if (dispatch(vst::effGetProgramNameIndexed, 0, 0, buffer_.fresh()) != 1) {
        fail("effGetProgramNameIndexed did not name the first program");
      }
      buffer_.check(kParameterTextCapacity, "the first program's name overran its capacity");
      break;
  }
}

void SurfaceDriver::opEditor(FuzzInput& in) {
  switch (in.byte() % 3) {
    case 0:
      // No window factory is given, so no window (and no dialog) opens.
      dispatch(vst::effEditOpen);
      break;
    case 1:
      dispatch(vst::effEditClose);
      break;
    default:
      dispatch(vst::effEditIdle);
      break;
  }
}

void SurfaceDriver::opUnknownOpcode(FuzzInput& in) {
  vst::VstInt32 opcode = in.i32();
  if (opcode >= 0 && opcode <= vst::effBeginLoadProgram) opcode = vst::effBeginLoadProgram + 1 + (opcode & 0xFF);
  if (dispatch(opcode, in.i32(), in.i32(), nullptr, in.anyFloat()) != 0) fail("an unknown opcode did not answer 0");
}

void SurfaceDriver::opCanDo(FuzzInput& in) {
  static constexpr std::array<std::string_view, 8> kTexts = {
      "receiveVstEvents", "receiveVstMidiEvent", "receiveVstTimeInfo", "",
      "sendVstEvents",    "receiveVstEvents ",   "ReceiveVstEvents",   "receiveVstMidiEvents"};
  std::string text = in.flag() ? std::string(in.pick(kTexts)) : in.text(40);
  const auto copy = hostText(text);
  const std::string_view asked(copy.get());
  const bool known = asked == "receiveVstEvents" || asked == "receiveVstMidiEvent" || asked == "receiveVstTimeInfo";
  if (dispatch(vst::effCanDo, 0, 0, copy.get()) != (known ? 1 : -1)) fail("effCanDo answered wrongly");
}

}  // namespace fuzz
