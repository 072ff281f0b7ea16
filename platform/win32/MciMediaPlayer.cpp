// Pre-listening through the system's media control interface: one open
// device per player, addressed by an alias unique to the player.

#include <windows.h>
#include <mmsystem.h>

#include <string>

#include "platform/MediaPlayer.h"
#include "platform/PlatformDefaults.h"
#include "platform/win32/WideText.h"

namespace platform {

namespace {

std::string mciError(MCIERROR code) {
  wchar_t text[256] = {};
  if (!mciGetErrorStringW(code, text, 256)) return "The media player could not play the file.";
  return fromWide(text);
}

class MciMediaPlayer final : public MediaPlayer {
 public:
  MciMediaPlayer() {
    static int players = 0;
    alias_ = L"vornhaltplayer" + std::to_wstring(++players);
  }
  ~MciMediaPlayer() override { close(); }

  bool play(const std::string& file, std::string& error) override {
    close();
    const std::wstring open = L"open \"" + toWide(file) + L"\" alias " + alias_;
    if (MCIERROR code = mciSendStringW(open.c_str(), nullptr, 0, nullptr)) {
      error = mciError(code);
      return false;
    }
    open_ = true;
    const std::wstring play = L"play " + alias_;
    if (MCIERROR code = mciSendStringW(play.c_str(), nullptr, 0, nullptr)) {
      error = mciError(code);
      return false;
    }
    return true;
  }

  void close() override {
    if (!open_) return;
    const std::wstring close = L"close " + alias_;
    mciSendStringW(close.c_str(), nullptr, 0, nullptr);
    open_ = false;
  }

 private:
  std::wstring alias_;
  bool open_ = false;
};

class MciPlayers final : public MediaPlayerFactory {
 public:
  std::unique_ptr<MediaPlayer> create() override { return std::make_unique<MciMediaPlayer>(); }
};

}  // namespace

MediaPlayerFactory& platformMediaPlayers() {
  static MciPlayers factory;
  return factory;
}

}  // namespace platform
