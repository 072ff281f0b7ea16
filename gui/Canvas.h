#pragma once
// A 32-bit pixel surface: what an editor window shows, what image controls
// hold and what the controls paint into. Drawing takes coordinates relative
// to the current origin and touches only pixels inside the clip rectangle;
// both start as the whole surface and are set for one component at a time by
// a Canvas::View.

#include <cstdint>
#include <string>
#include <vector>

#include "gui/Color.h"
#include "gui/Geometry.h"

namespace gui {

class Canvas {
 public:
  Canvas() = default;
  Canvas(int width, int height, Color fill = colors::black);

  int width() const { return width_; }
  int height() const { return height_; }
  bool empty() const { return width_ <= 0 || height_ <= 0; }
  Rect bounds() const { return {0, 0, width_, height_}; }
  // Resizes and fills the whole surface; resets origin and clip.
  void resize(int width, int height, Color fill = colors::black);

  // Raw pixels, rows top to bottom, `width()` pixels per row, no padding.
  const std::uint32_t* pixels() const { return pixels_.data(); }
  std::uint32_t* pixels() { return pixels_.data(); }
  // Absolute coordinates, no clip; outside the surface reads 0.
  Color pixel(int x, int y) const;

  // Drawing position and clip. The clip is absolute and always lies inside
  // the surface.
  Point origin() const { return origin_; }
  Rect clip() const { return clip_; }
  // Sets origin and clip (narrowed to the surface) for one scope.
  class View {
   public:
    View(Canvas& canvas, Point origin, Rect clip);
    ~View();
    View(const View&) = delete;
    View& operator=(const View&) = delete;

   private:
    Canvas& canvas_;
    Point savedOrigin_;
    Rect savedClip_;
  };

  void setPixel(int x, int y, Color color);
  // Blends `color` over a pixel with coverage 0..255.
  void blendPixel(int x, int y, Color color, int coverage);
  void fill(Color color) { fillRect({-origin_.x, -origin_.y, width_ - origin_.x, height_ - origin_.y}, color); }
  void fillRect(const Rect& rect, Color color);
  // Inverts the bits of `mask` in every pixel of the rectangle.
  void xorRect(const Rect& rect, Color mask);
  // A one-pixel frame just inside the rectangle.
  void frameRect(const Rect& rect, Color color);

  // A one-pixel pen line: the pixels a Bresenham walk visits from `from`
  // towards `to`, the end pixel itself excluded.
  void line(Point from, Point to, Color color);
  // An antialiased line between sub-pixel end points; the centre of pixel k
  // lies at coordinate k.
  void smoothLine(double x0, double y0, double x1, double y1, Color color);

  // An ellipse inscribed in `rect` filled with `fill` and outlined one pixel
  // wide in `outline`.
  void ellipse(const Rect& rect, Color fill, Color outline);
  // The part of that ellipse swept counter-clockwise from angle `startAngle`
  // to `endAngle` (radians, 0 pointing right, growing upwards on screen).
  void pie(const Rect& rect, double startAngle, double endAngle, Color fill, Color outline);
  // The upper half of the ellipse in `rect` with its flat side on the bottom
  // edge.
  void halfEllipse(const Rect& rect, Color fill, Color outline);

  // Copies `from` of `source` (absolute source coordinates) to `to`.
  void draw(const Canvas& source, const Rect& from, Point to);
  void draw(const Canvas& source, Point to) { draw(source, source.bounds(), to); }
  // Copies, leaving out source pixels of the colour `transparent`.
  void drawTransparent(const Canvas& source, const Rect& from, Point to, Color transparent);
  // Scales `from` to `to` by nearest source pixel (the system's plain
  // stretching); with `transparent` set, pixels of that colour are left out.
  void stretchDraw(const Canvas& source, const Rect& from, const Rect& to);
  void stretchDrawTransparent(const Canvas& source, const Rect& from, const Rect& to, Color transparent);
  // Shows `from` of `source` with every pixel as a `zoom` x `zoom` block
  // (nearest neighbour), at from's position times `zoom`, in absolute
  // coordinates. The zoomed view of a surface keeps its crisp edges.
  void drawZoomed(const Canvas& source, const Rect& from, int zoom);
  // Combines `source` into this surface by exclusive-or.
  void xorDraw(const Canvas& source, Point to);

  // Writes the whole surface as an 8-bit RGB PNG file. False on failure.
  bool savePng(const std::string& path) const;
  // Reads an 8-bit RGB or RGBA PNG file (alpha is dropped); an empty canvas
  // when the file is missing or not such a PNG.
  static Canvas loadPng(const std::string& path);

 private:
  // The rectangle in absolute coordinates, clipped.
  Rect toClipped(const Rect& rect) const;
  bool visible(int absX, int absY) const { return clip_.contains({absX, absY}); }

  int width_ = 0;
  int height_ = 0;
  std::vector<std::uint32_t> pixels_;
  Point origin_;
  Rect clip_;
};

}  // namespace gui
