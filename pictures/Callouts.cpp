#include "pictures/Callouts.h"

#include <algorithm>
#include <stdexcept>

#include "gui/Font.h"

namespace pictures {

namespace {

const gui::Component* findShowing(const gui::Component& root, const std::string& name) {
  for (const auto& child : root.children()) {
    if (!child->showing()) continue;
    if (child->name == name) return child.get();
    if (const gui::Component* found = findShowing(*child, name)) return found;
  }
  return nullptr;
}

constexpr gui::Color kMarkerFill = gui::rgb(200, 16, 46);
constexpr gui::Color kMarkerRing = gui::colors::white;
constexpr gui::Color kMarkerText = gui::colors::white;
constexpr int kRadius = 9;

}  // namespace

std::vector<PlacedCallout> placeCallouts(const gui::Component& form, std::span<const Callout> callouts) {
  std::vector<PlacedCallout> placed;
  placed.reserve(callouts.size());
  for (const Callout& callout : callouts) {
    const gui::Component* component = findShowing(form, callout.component);
    if (component == nullptr) throw std::runtime_error("no showing component named " + callout.component);
    placed.push_back({callout.number, component->formRect(), callout.place, callout.nudge});
  }
  return placed;
}

gui::Canvas drawCallouts(const gui::Canvas& editor, std::span<const PlacedCallout> callouts, int zoom) {
  gui::Canvas picture(editor.width() * zoom, editor.height() * zoom);
  picture.drawZoomed(editor, editor.bounds(), zoom);
  const gui::Font font(-12, gui::FontWeight::bold);
  for (const PlacedCallout& callout : callouts) {
    const std::string text = std::to_string(callout.number);
    const int radius = text.size() > 1 ? kRadius + 1 : kRadius;
    const gui::Rect& c = callout.component;
    gui::Point centre{c.left * zoom, c.top * zoom};
    if (callout.place == Place::left) centre = {c.left * zoom - radius - 2, (c.top * 2 + c.height()) * zoom / 2};
    if (callout.place == Place::right) centre = {c.right * zoom + radius + 2, (c.top * 2 + c.height()) * zoom / 2};
    if (callout.place == Place::inside) centre = {c.left * zoom + radius + 2, c.top * zoom + radius + 2};
    centre = {centre.x + callout.nudge.x * zoom, centre.y + callout.nudge.y * zoom};
    const int x = std::clamp(centre.x, radius, picture.width() - radius - 1);
    const int y = std::clamp(centre.y, radius, picture.height() - radius - 1);
    picture.ellipse({x - radius, y - radius, x + radius + 1, y + radius + 1}, kMarkerFill, kMarkerRing);
    font.draw(picture, x - font.textWidth(text) / 2, y - font.lineHeight() / 2, text, kMarkerText);
  }
  return picture;
}

}  // namespace pictures
