#pragma once
// Sarnel's built binary driven through the host library, as a host does:
// parameters, MIDI in, audio out, and the GUI calls that drive its timer.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "framework/Opcodes.h"
#include "host/Plugin.h"
#include "tests/sampler_engine/TestWaves.h"

#if defined(_WIN32)
#include <windows.h>
#endif

namespace sarneltest {

// Parameter indices of the saved state, as a host knows them (the binary
// test links no engine code).
constexpr int kBinPitch = 0, kBinAttack = 1, kBinDecay = 2, kBinSustain = 3, kBinRelease = 4;
constexpr int kBinLoopMode = 6, kBinVolume = 12, kBinLoopLow = 13, kBinLoopHigh = 14, kBinPortamento = 16;
constexpr int kBinPortamentoTime = 29, kBinPathFirst = 30, kBinTuningFirst = 286, kBinNumParams = 500;
constexpr int kBinLoadProgramSample = 643, kBinResetTuning = 645, kBinUnload = 647, kBinControllerFirst = 1000;

inline std::string sarnelBinaryPath() {
#if defined(_WIN32)
  return std::string(VORNHALT_PLUGIN_DIR) + "/Sarnel.dll";
#else
  return std::string(VORNHALT_PLUGIN_DIR) + "/Sarnel.so";
#endif
}

inline std::unique_ptr<host::Plugin> loadSarnel() {
  host::HostConfig config;
  config.recordCalls = false;
  return host::Plugin::load(sarnelBinaryPath(), config);
}

// Renders `frames` frames in blocks of `blockSize` with silent inputs.
struct Stereo {
  std::vector<float> left;
  std::vector<float> right;
};

inline Stereo renderBinary(host::Plugin& plugin, int frames, int blockSize = 512,
                           const std::vector<float>* inputLeft = nullptr) {
  Stereo out;
  std::vector<float> inL(static_cast<std::size_t>(blockSize)), inR(static_cast<std::size_t>(blockSize));
  std::vector<float> l(static_cast<std::size_t>(blockSize)), r(static_cast<std::size_t>(blockSize));
  for (int done = 0; done < frames; done += blockSize) {
    const int n = std::min(blockSize, frames - done);
    for (int i = 0; i < n; ++i) {
      inL[static_cast<std::size_t>(i)] =
          inputLeft != nullptr ? (*inputLeft)[static_cast<std::size_t>(done + i)] : 0.0f;
    }
    float* in[2] = {inL.data(), inR.data()};
    float* outs[2] = {l.data(), r.data()};
    plugin.processReplacing(in, outs, n);
    out.left.insert(out.left.end(), l.begin(), l.begin() + n);
    out.right.insert(out.right.end(), r.begin(), r.begin() + n);
  }
  return out;
}

inline float loudest(const std::vector<float>& values) {
  float peak = 0.0f;
  for (float v : values) peak = std::max(peak, std::fabs(v));
  return peak;
}

inline void setBinaryPath(host::Plugin& plugin, const std::string& path) {
  for (int i = 0; i < 256; ++i) {
    const unsigned char byte = i < static_cast<int>(path.size()) ? static_cast<unsigned char>(path[static_cast<std::size_t>(i)]) : 0;
    plugin.setParameter(kBinPathFirst + i, static_cast<float>(byte) / 255.0f);
  }
}

inline std::string binaryPathParameter(host::Plugin& plugin) {
  std::string path;
  for (int i = 0; i < 255; ++i) {
    const long byte = std::lround(plugin.getParameter(kBinPathFirst + i) * 255.0f);
    if (byte == 0) break;
    path.push_back(static_cast<char>(byte));
  }
  return path;
}

inline std::vector<float> saveParameters(host::Plugin& plugin) {
  std::vector<float> values(kBinNumParams);
  for (int i = 0; i < kBinNumParams; ++i) values[static_cast<std::size_t>(i)] = plugin.getParameter(i);
  return values;
}

// What a host's GUI thread does for a while: editor idle calls (which drive
// the timers where there is no message loop) and, on Windows, the thread's
// message loop (which dispatches the window-message timers).
inline void runGuiFor(host::Plugin& plugin, int milliseconds) {
  const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
  while (std::chrono::steady_clock::now() < until) {
    plugin.dispatch(vst::effEditIdle);
#if defined(_WIN32)
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
#endif
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

inline void immediateEnvelope(host::Plugin& plugin) {
  plugin.setParameter(kBinAttack, 0.0f);
  plugin.setParameter(kBinDecay, 0.0f);
  plugin.setParameter(kBinSustain, 1.0f);
  plugin.setParameter(kBinRelease, 0.0f);
}

}  // namespace sarneltest
