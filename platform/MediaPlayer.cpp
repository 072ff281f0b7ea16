#include "platform/MediaPlayer.h"

#include <atomic>

#include "platform/PlatformDefaults.h"

namespace platform {

namespace {
std::atomic<MediaPlayerFactory*> mediaPlayerOverride{nullptr};
}

std::unique_ptr<MediaPlayer> createMediaPlayer() {
  if (MediaPlayerFactory* factory = mediaPlayerOverride.load(std::memory_order_acquire)) return factory->create();
  return platformMediaPlayers().create();
}

std::unique_ptr<MediaPlayer> createMediaPlayer(MediaPlayerFactory& instead) {
  if (MediaPlayerFactory* factory = mediaPlayerOverride.load(std::memory_order_acquire)) return factory->create();
  return instead.create();
}

void setMediaPlayerFactoryForTesting(MediaPlayerFactory* factory) {
  mediaPlayerOverride.store(factory, std::memory_order_release);
}

}  // namespace platform
