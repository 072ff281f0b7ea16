#pragma once
// Which thread is the host's GUI thread.
//
// The rule: the thread that constructs the plug-in is taken as the GUI thread
// until the host shows its GUI thread, and the host shows it by sending an
// editor opcode (effEditGetRect, effEditOpen, effEditClose, effEditIdle and
// the other effEdit opcodes): those come from the thread that owns the
// editor's window. From then on the thread of the latest editor opcode is the
// GUI thread. Hosts that construct plug-ins on a worker thread and run their
// editors elsewhere thus still get timer servicing, deferred frees and
// immediate editor updates on the thread that really runs the editor, while
// calls from any other thread (the audio thread, a MIDI or export thread)
// are never mistaken for it.

#include <atomic>
#include <cstdint>

#include "framework/Opcodes.h"

namespace vst {

class GuiThread {
 public:
  // The constructing thread, until the host shows its GUI thread.
  GuiThread() noexcept : owner(currentThreadTag()) {}

  // True for the opcodes only the thread that owns the editor's window sends.
  static constexpr bool isEditorOpcode(VstInt32 opcode) noexcept {
    return (opcode >= effEditGetRect && opcode <= effEditSleep) || opcode == effEditKeyDown ||
           opcode == effEditKeyUp;
  }

  // Takes the calling thread as the GUI thread when `opcode` shows it. Any
  // thread (the dispatcher calls it first for every opcode).
  void follow(VstInt32 opcode) noexcept {
    if (!isEditorOpcode(opcode)) return;
    owner.store(currentThreadTag(), std::memory_order_relaxed);
    shown.store(true, std::memory_order_relaxed);
  }
  // Whether an editor opcode has arrived yet. Any thread.
  bool shownByHost() const noexcept { return shown.load(std::memory_order_relaxed); }
  // Any thread.
  bool isCurrent() const noexcept { return owner.load(std::memory_order_relaxed) == currentThreadTag(); }

 private:
  // A number that tells the live threads apart: the address of a
  // thread-local object (lock-free to store, unlike a thread id everywhere).
  static std::uintptr_t currentThreadTag() noexcept {
    thread_local const char tag = 0;
    return reinterpret_cast<std::uintptr_t>(&tag);
  }

  std::atomic<std::uintptr_t> owner;
  std::atomic<bool> shown{false};
  static_assert(std::atomic<std::uintptr_t>::is_always_lock_free, "the audio thread asks it too");
};

}  // namespace vst
