#include "interaction/window_places.h"

#include <algorithm>

namespace {

constexpr int kGrafikWidth = 492;

bool Framed(const Margins& m) { return m.left != 0 || m.top != 0 || m.right != 0 || m.bottom != 0; }

Box FrameOf(int x, int y, int clientWidth, int clientHeight, const Margins& m) {
  return {x, y, clientWidth + m.left + m.right, clientHeight + m.top + m.bottom};
}

bool Inside(const Box& screen, const Box& b) {
  return b.x >= screen.x && b.y >= screen.y && b.Right() <= screen.Right() && b.Bottom() <= screen.Bottom();
}

}  // namespace

ViewPlaces PlaceViews(const Box& screen, const Margins& m) {
  if (!Framed(m)) return {1, -1, 1 + kGrafikWidth, -1};
  const int frameX = std::max(1, screen.x);
  const int frameY = std::max(0, screen.y);
  const int datenFrameX = frameX + m.left + kGrafikWidth + m.right;
  return {frameX + m.left, frameY + m.top, datenFrameX + m.left, frameY + m.top};
}

Point PlaceBeside(const Box& screen, const Margins& m, const Box& beside, int clientWidth, int clientHeight) {
  const Box right = FrameOf(beside.Right(), std::max(beside.y, screen.y), clientWidth, clientHeight, m);
  if (Inside(screen, right)) return {right.x, right.y};
  return {screen.x, screen.y};
}

Box PlaceHelp(const Box& screen, const Margins& m, const Box& panel, const Box& wanted, int minHeight) {
  const auto frame = [&](int x, int y, int h) { return FrameOf(x, y, wanted.width, h, m); };
  if (!frame(wanted.x, wanted.y, wanted.height).Intersects(panel)) return wanted;
  const Box right = frame(panel.Right(), panel.y, wanted.height);
  const Box rightUp = frame(panel.Right(), screen.Bottom() - right.height, wanted.height);
  for (const Box& b : {right, rightUp}) {
    if (Inside(screen, b)) return {b.x, b.y, wanted.width, wanted.height};
  }
  const int x = std::clamp(wanted.x, screen.x, std::max(screen.x, screen.Right() - frame(0, 0, 0).width));
  const int above = panel.y - screen.y - m.top - m.bottom;  // client rows that fit above the panel
  if (above >= minHeight) {
    const int h = std::min(wanted.height, above);
    return {x, panel.y - (h + m.top + m.bottom), wanted.width, h};
  }
  const int below = screen.Bottom() - panel.Bottom() - m.top - m.bottom;
  if (below >= minHeight) return {x, panel.Bottom(), wanted.width, std::min(wanted.height, below)};
  return wanted;
}
