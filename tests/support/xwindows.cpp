#include "xwindows.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <memory>

namespace xwin {
namespace {

struct DisplayCloser {
  void operator()(Display* d) const { XCloseDisplay(d); }
};
using DisplayPtr = std::unique_ptr<Display, DisplayCloser>;

std::string Title(Display* d, ::Window w) {
  Atom type;
  int format;
  unsigned long count, after;
  unsigned char* data = nullptr;
  std::string title;
  if (XGetWindowProperty(d, w, XInternAtom(d, "_NET_WM_NAME", False), 0, 1024, False,
                         XInternAtom(d, "UTF8_STRING", False), &type, &format, &count, &after, &data) == Success &&
      data) {
    title.assign(reinterpret_cast<char*>(data), count);
    XFree(data);
  }
  return title;
}

void Collect(Display* d, ::Window w, std::vector<::Window>& out) {
  ::Window root, parent, *children = nullptr;
  unsigned int n = 0;
  if (!XQueryTree(d, w, &root, &parent, &children, &n)) return;
  for (unsigned int i = 0; i < n; ++i) {
    out.push_back(children[i]);
    Collect(d, children[i], out);
  }
  if (children) XFree(children);
}

// Focuses the window as a window manager does when it is clicked, then presses each key.
void Press(unsigned long window, const std::vector<KeySym>& syms, unsigned modifiers) {
  DisplayPtr dp(XOpenDisplay(nullptr));
  Display* d = dp.get();
  if (!d) return;
  XSetInputFocus(d, window, RevertToParent, CurrentTime);
  XSync(d, False);
  const KeyCode shiftCode = XKeysymToKeycode(d, XK_Shift_L), controlCode = XKeysymToKeycode(d, XK_Control_L);
  for (KeySym sym : syms) {
    const KeyCode code = XKeysymToKeycode(d, sym);
    if (code == 0) continue;
    // Characters on the shifted level of their key need Shift.
    const bool shift = (modifiers & kShift) || XkbKeycodeToKeysym(d, code, 0, 0) != sym;
    if (modifiers & kControl) XTestFakeKeyEvent(d, controlCode, True, CurrentTime);
    if (shift) XTestFakeKeyEvent(d, shiftCode, True, CurrentTime);
    XTestFakeKeyEvent(d, code, True, CurrentTime);
    XTestFakeKeyEvent(d, code, False, CurrentTime);
    if (shift) XTestFakeKeyEvent(d, shiftCode, False, CurrentTime);
    if (modifiers & kControl) XTestFakeKeyEvent(d, controlCode, False, CurrentTime);
    XSync(d, False);
  }
}

}  // namespace

std::vector<Window> FindAll(const std::string& titlePrefix) {
  std::vector<Window> found;
  DisplayPtr d(XOpenDisplay(nullptr));
  if (!d) return found;
  const ::Window root = DefaultRootWindow(d.get());
  std::vector<::Window> all;
  Collect(d.get(), root, all);
  for (::Window w : all) {
    XWindowAttributes a;
    if (Title(d.get(), w).rfind(titlePrefix, 0) != 0 || !XGetWindowAttributes(d.get(), w, &a) ||
        a.c_class != InputOutput)
      continue;
    int rx = 0, ry = 0;
    ::Window child;
    XTranslateCoordinates(d.get(), w, root, 0, 0, &rx, &ry, &child);
    found.push_back({w, rx, ry, a.width, a.height, a.map_state == IsViewable});
  }
  return found;
}

std::optional<Window> Find(const std::string& titlePrefix) {
  std::optional<Window> found;
  for (const Window& w : FindAll(titlePrefix))
    if (!found || (w.viewable && !found->viewable)) found = w;
  return found;
}

void RequestClose(unsigned long id) {
  DisplayPtr d(XOpenDisplay(nullptr));
  if (!d) return;
  XEvent ev{};
  ev.xclient.type = ClientMessage;
  ev.xclient.window = id;
  ev.xclient.message_type = XInternAtom(d.get(), "WM_PROTOCOLS", False);
  ev.xclient.format = 32;
  ev.xclient.data.l[0] = static_cast<long>(XInternAtom(d.get(), "WM_DELETE_WINDOW", False));
  ev.xclient.data.l[1] = CurrentTime;
  XSendEvent(d.get(), id, False, NoEventMask, &ev);
  XFlush(d.get());
}

void Click(int rootX, int rootY) {
  DisplayPtr d(XOpenDisplay(nullptr));
  if (!d) return;
  XTestFakeMotionEvent(d.get(), -1, rootX, rootY, CurrentTime);
  XSync(d.get(), False);
  for (Bool down : {True, False}) {
    XTestFakeButtonEvent(d.get(), 1, down, CurrentTime);
    XSync(d.get(), False);
  }
}

void Key(unsigned long window, const std::string& keysymName, unsigned modifiers) {
  const KeySym sym = XStringToKeysym(keysymName.c_str());
  if (sym != NoSymbol) Press(window, {sym}, modifiers);
}

// Latin-1 keysyms equal their character codes.
void Type(unsigned long window, const std::string& text) {
  Press(window, std::vector<KeySym>(text.begin(), text.end()), kNoModifier);
}

}  // namespace xwin
