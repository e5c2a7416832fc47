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

bool PresentationOn();
// The panel's switch: every window that follows it changes at once.
void SetPresentation(bool on);
// `window` follows the switch from now on (at once, when it is on): its texts
// grow and shrink back, then `more` does what else the window needs.
void FollowPresentation(QWidget* window, std::function<void(bool on)> more = {});
// The screen area `window` may take, its frame left off (estimated as the
// panel's while the window has none yet).
QRect RoomForWindow(const QWidget* window);
// Where `window`'s client goes to be `wanted` large: that size within the
// room, moved only as far as it must to stay on the screen.
QRect GrownWithin(const QWidget* window, QSize wanted);
