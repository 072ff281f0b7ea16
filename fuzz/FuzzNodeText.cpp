// Feeds arbitrary text to the node list reader. A reader that accepts text
// must give nodes inside the grid, and writing them back must read the same.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "controls/ControlErrors.h"
#include "controls/NodeText.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  try {
    const auto nodes = controls::parseNodeText(text);
    for (const auto& node : nodes) {
      if (node.x < 0 || node.x > 255 || node.y < 0 || node.y > 255) std::abort();
    }
    if (controls::parseNodeText(controls::formatNodeText(nodes)) != nodes) std::abort();
  } catch (const controls::ConversionError&) {
    // Rejected text is fine; anything else escaping is a fault.
  }
  return 0;
}
