#pragma once
// Plays one sound file for pre-listening: at most one file is open; opening
// another closes the first. The system's media control interface on Windows.

#include <memory>
#include <string>

namespace platform {

class MediaPlayer {
 public:
  virtual ~MediaPlayer() = default;
  // Opens and starts playing; false with the system's error text on failure.
  // GUI thread.
  virtual bool play(const std::string& file, std::string& error) = 0;
  // Stops and closes the open file, if any. GUI thread.
  virtual void close() = 0;
};

class MediaPlayerFactory {
 public:
  virtual ~MediaPlayerFactory() = default;
  virtual std::unique_ptr<MediaPlayer> create() = 0;
};

// A new player of the service in force. GUI thread.
std::unique_ptr<MediaPlayer> createMediaPlayer();
// A new player of the test override when one is set, else of `instead` (a
// player of the caller's own, where the system has none). GUI thread.
std::unique_ptr<MediaPlayer> createMediaPlayer(MediaPlayerFactory& instead);
void setMediaPlayerFactoryForTesting(MediaPlayerFactory* factory);

}  // namespace platform
