#include "windows/presentation.h"

#include <QFont>
#include <QLayout>
#include <QPointer>
#include <QScreen>
#include <QVariant>
#include <QWidget>
#include <algorithm>
#include <vector>

#include "windows/Kontrolle.h"

namespace {

bool presenting = false;

struct Follower {
  QPointer<QWidget> window;
  std::function<void(bool)> more;
  std::function<QSize()> wanted;
  QRect place;  // before presenting
};
std::vector<Follower>& Followers() {
  static std::vector<Follower> followers;
  return followers;
}

// Each widget's own font is kept while presenting, so that switching off
// gives back exactly what was there (bold group titles stay bold).
constexpr const char* kOwnFont = "veltraFontBeforePresentation";

void ScaleTexts(QWidget* root, bool on) {
  QList<QWidget*> all = root->findChildren<QWidget*>();
  all.prepend(root);
  // Read every font before any changes: a parent's new font reaches its children.
  if (on) {
    for (QWidget* w : all) {
      if (!w->property(kOwnFont).isValid()) w->setProperty(kOwnFont, w->font());
    }
  }
  for (QWidget* w : all) {
    const QVariant kept = w->property(kOwnFont);
    if (!kept.isValid()) continue;
    const QFont own = kept.value<QFont>();
    if (on) {
      QFont big = own;
      big.setPixelSize(std::max(QFontInfo(own).pixelSize(), kPresentationTextPx));
      w->setFont(big);
    } else {
      w->setFont(own);
      w->setProperty(kOwnFont, QVariant());
    }
  }
}

// Where `window`'s client goes to be `wanted` large: that size within the
// room, moved only as far as it must to stay on the screen.
QRect GrownWithin(const QWidget* window, QSize wanted) {
  const QRect room = RoomForWindow(window);
  QRect place(window->geometry().topLeft(), wanted.boundedTo(room.size()));
  place.moveRight(std::min(place.right(), room.right()));
  place.moveBottom(std::min(place.bottom(), room.bottom()));
  place.moveLeft(std::max(place.left(), room.left()));
  place.moveTop(std::max(place.top(), room.top()));
  return place;
}

void Apply(Follower& f) {
  QWidget* w = f.window;
  if (presenting) f.place = w->geometry();
  ScaleTexts(w, presenting);
  if (f.more) f.more(presenting);
  if (presenting) {
    w->setGeometry(GrownWithin(w, f.wanted()));
  } else if (f.place.isValid()) {
    // The smaller least size first, or the old place would not fit it.
    if (w->layout()) w->layout()->activate();
    w->setGeometry(f.place);
  }
}

}  // namespace

void SetPresentation(bool on) {
  if (on == presenting) return;
  presenting = on;
  auto& followers = Followers();
  std::erase_if(followers, [](const Follower& f) { return f.window.isNull(); });
  for (Follower& f : followers) Apply(f);
}

void FollowPresentation(QWidget* window, std::function<void(bool)> more, std::function<QSize()> wanted) {
  Followers().push_back({window, std::move(more), std::move(wanted), {}});
  if (presenting) Apply(Followers().back());
}

QRect RoomForWindow(const QWidget* window) {
  const QRect screen = window->screen()->availableGeometry();
  const QWidget* framed = window->isVisible() ? window : frmKontrolle;
  if (framed == nullptr) return screen;
  const QRect frame = framed->frameGeometry(), client = framed->geometry();
  return screen.adjusted(client.left() - frame.left(), client.top() - frame.top(),
                         client.right() - frame.right(), client.bottom() - frame.bottom());
}
