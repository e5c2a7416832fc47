#pragma once
// Finding and driving another process's top-level windows on the X server,
// as a person (or a window manager) would: clicks, keys, typed text and close
// requests.
#include <optional>
#include <string>
#include <vector>

namespace xwin {

struct Window {
  unsigned long id;
  int x, y;           // client area on the root window
  int width, height;
  bool viewable;
};

// The top-level window whose title starts with the given text.
std::optional<Window> Find(const std::string& titlePrefix);
// Every such window, mapped or not.
std::vector<Window> FindAll(const std::string& titlePrefix);
// Sends WM_DELETE_WINDOW, as the title bar's close button does.
void RequestClose(unsigned long id);
// Moves the pointer to the root position and clicks the left button (XTest).
void Click(int rootX, int rootY);

// Gives the window the keyboard focus, as a window manager does when it is
// clicked, then presses and releases one key (an X keysym name such as "Up",
// "Home", "r", "Return") with Shift and/or Control held (XTest).
enum Modifier : unsigned { kNoModifier = 0, kShift = 1, kControl = 2 };
void Key(unsigned long window, const std::string& keysymName, unsigned modifiers = kNoModifier);
// Types printable ASCII text into the focused widget of the window.
void Type(unsigned long window, const std::string& text);

}  // namespace xwin
