#pragma once
// Our demo piece: eleven bars in A minor for bass, a two-voice pad and a
// melody, with velocities, pitch bends, controllers and a closing ritardando.
// demo/demo.mid is this song as written by vornhalt-compose-demo.

#include "host/MidiFileWriter.h"

namespace render {

constexpr int kDemoTicksPerQuarter = 480;

host::MidiFileWriter composeDemoSong();

}  // namespace render
