#pragma once
// Reading back what a view shows on screen and classifying its colours.
#include <QGuiApplication>
#include <QImage>
#include <QScreen>
#include <QWindow>
#include <array>
#include <cstdlib>

namespace pixels {

// What the window shows on screen, in device pixels; raised first, as the screen shows what lies on top.
inline QImage Grab(QWindow* w) {
  w->raise();
  for (int i = 0; i < 10; ++i) QCoreApplication::processEvents();
  return w->screen()->grabWindow(w->winId()).toImage().convertToFormat(QImage::Format_RGB32);
}

// Lit red diffuse plus the green ambient term: strong red, a little green, no blue.
inline bool IsRed(QRgb c) { return qRed(c) > 90 && qRed(c) > qGreen(c) + 40 && qBlue(c) < 60; }
inline bool IsGreen(QRgb c) { return qGreen(c) > 90 && qRed(c) < 60 && qBlue(c) < 60; }
inline bool IsBlue(QRgb c) { return qBlue(c) > 90 && qBlue(c) > qGreen(c) + 30 && qRed(c) < 60; }
inline bool IsWhite(QRgb c) { return qRed(c) > 245 && qGreen(c) > 245 && qBlue(c) > 245; }

template <typename Pred>
int Count(const QImage& img, const QRect& r, Pred pred) {
  int n = 0;
  const QRect area = r.intersected(img.rect());
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x) n += pred(img.pixel(x, y)) ? 1 : 0;
  return n;
}
template <typename Pred>
int Count(const QImage& img, Pred pred) { return Count(img, img.rect(), pred); }

template <typename Pred>
QRect BoundingBox(const QImage& img, Pred pred) {
  QRect box;
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x)
      if (pred(img.pixel(x, y))) box |= QRect(x, y, 1, 1);
  return box;
}

// How far two pictures of the same size lie apart: the sum over all pixels of
// the absolute differences of red, green and blue. Unlike a count of differing
// pixels it tells a slightly changed shade from a different picture.
inline long long PictureDistance(const QImage& a, const QImage& b) {
  long long d = 0;
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x) {
      const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
      d += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) + std::abs(qBlue(p) - qBlue(q));
    }
  return d;
}

// Upper left, upper right, lower left, lower right.
inline std::array<QRect, 4> Quadrants(const QImage& img) {
  const int w = img.width(), h = img.height();
  return {QRect(0, 0, w / 2, h / 2), QRect(w / 2, 0, w - w / 2, h / 2), QRect(0, h / 2, w / 2, h - h / 2),
          QRect(w / 2, h / 2, w - w / 2, h - h / 2)};
}

}  // namespace pixels
