#include "xwindows.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/XKBlib.h>
#include <X11/extensions/XTest.h>

#include <memory>
#include <vector>

namespace xwin {
namespace {

struct DisplayCloser {
  void operator()(Display* d) const { XCloseDisplay(d); }
};
using DisplayPtr = std::unique_ptr<Display, DisplayCloser>;

DisplayPtr Open() { return DisplayPtr(XOpenDisplay(nullptr)); }

std::string Title(Display* d, ::Window w) {
  Atom utf8 = XInternAtom(d, "UTF8_STRING", False);
  Atom netName = XInternAtom(d, "_NET_WM_NAME", False);
  Atom type;
  int format;
  unsigned long count, after;
  unsigned char* data = nullptr;
  std::string title;
  if (XGetWindowProperty(d, w, netName, 0, 1024, False, utf8, &type, &format, &count, &after, &data) ==
          Success &&
      data) {
    title.assign(reinterpret_cast<char*>(data), count);
    XFree(data);
  }
  if (title.empty()) {
    char* name = nullptr;
    if (XFetchName(d, w, &name) && name) {
      title = name;
      XFree(name);
    }
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

}  // namespace

std::vector<Window> FindAll(const std::string& titlePrefix) {
  std::vector<Window> found;
  DisplayPtr d = Open();
  if (!d) return found;
  std::vector<::Window> all;
  Collect(d.get(), DefaultRootWindow(d.get()), all);
  for (::Window w : all) {
    if (Title(d.get(), w).rfind(titlePrefix, 0) != 0) continue;
    XWindowAttributes a;
    if (!XGetWindowAttributes(d.get(), w, &a) || a.c_class != InputOutput) continue;
    int rx = 0, ry = 0;
    ::Window child;
    XTranslateCoordinates(d.get(), w, DefaultRootWindow(d.get()), 0, 0, &rx, &ry, &child);
    found.push_back({w, rx, ry, a.width, a.height, a.map_state == IsViewable});
  }
  return found;
}

std::optional<Window> Find(const std::string& titlePrefix) {
  // Toolkits keep hidden helper windows that may carry the same title; an
  // input-output window that is mapped wins over one that is not.
  std::optional<Window> found;
  for (const Window& candidate : FindAll(titlePrefix)) {
    if (!found || (candidate.viewable && !found->viewable)) found = candidate;
  }
  return found;
}

void RequestClose(unsigned long id) {
  DisplayPtr d = Open();
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
  DisplayPtr d = Open();
  if (!d) return;
  XTestFakeMotionEvent(d.get(), -1, rootX, rootY, CurrentTime);
  XSync(d.get(), False);
  XTestFakeButtonEvent(d.get(), 1, True, CurrentTime);
  XSync(d.get(), False);
  XTestFakeButtonEvent(d.get(), 1, False, CurrentTime);
  XSync(d.get(), False);
}

namespace {

void PressReleased(Display* d, KeyCode code, unsigned modifiers, bool shift) {
  const KeyCode shiftCode = XKeysymToKeycode(d, XK_Shift_L);
  const KeyCode controlCode = XKeysymToKeycode(d, XK_Control_L);
  if (modifiers & kControl) XTestFakeKeyEvent(d, controlCode, True, CurrentTime);
  if (shift) XTestFakeKeyEvent(d, shiftCode, True, CurrentTime);
  XTestFakeKeyEvent(d, code, True, CurrentTime);
  XTestFakeKeyEvent(d, code, False, CurrentTime);
  if (shift) XTestFakeKeyEvent(d, shiftCode, False, CurrentTime);
  if (modifiers & kControl) XTestFakeKeyEvent(d, controlCode, False, CurrentTime);
  XSync(d, False);
}

void FocusOn(Display* d, unsigned long window) {
  XSetInputFocus(d, window, RevertToParent, CurrentTime);
  XSync(d, False);
}

}  // namespace

void Key(unsigned long window, const std::string& keysymName, unsigned modifiers) {
  DisplayPtr d = Open();
  if (!d) return;
  FocusOn(d.get(), window);
  const KeyCode code = XKeysymToKeycode(d.get(), XStringToKeysym(keysymName.c_str()));
  if (code == 0) return;
  PressReleased(d.get(), code, modifiers, (modifiers & kShift) != 0);
}

void Type(unsigned long window, const std::string& text) {
  DisplayPtr d = Open();
  if (!d) return;
  FocusOn(d.get(), window);
  for (const char ch : text) {
    // Latin-1 keysyms equal their character codes.
    const KeySym sym = static_cast<unsigned char>(ch);
    const KeyCode code = XKeysymToKeycode(d.get(), sym);
    if (code == 0) continue;
    // Characters on the shifted level of their key need Shift.
    const bool shift = XkbKeycodeToKeysym(d.get(), code, 0, 0) != sym;
    PressReleased(d.get(), code, kNoModifier, shift);
  }
}

}  // namespace xwin
