#pragma once
// "Präsentation": for the back row of a lecture hall, every text of the
// windows that show text at least 20 px, chart ticks at least 18 px, the
// curves and Bild's pictures as large as the screen allows. The panel keeps
// its fixed layout, and the views draw no text.
#include <QRect>
#include <functional>

class QWidget;

constexpr int kPresentationTextPx = 20;
constexpr int kPresentationTickPx = 18;

// The panel's switch: every window that follows it changes at once.
void SetPresentation(bool on);
// `window` follows the switch from now on (at once, when it is on): its texts
// grow, `more` does what else the window needs, and the window grows to the
// client size `wanted` gives, within the screen and moved only as far as it
// must to stay on it. Switched off, the texts shrink back, `more` undoes its
// part, and the window returns to where it was.
void FollowPresentation(QWidget* window, std::function<void(bool on)> more, std::function<QSize()> wanted);
// The screen area `window` may take, its frame left off (estimated as the
// panel's while the window has none yet).
QRect RoomForWindow(const QWidget* window);
