#pragma once
// Finding and driving another process's top-level windows on the X server as a
// person (or a window manager) would: clicks, keys, typed text, close requests.
#include <optional>
#include <string>
#include <vector>

namespace xwin {

struct Window {
  unsigned long id;
  int x, y;  // client area on the root window
  int width, height;
  bool viewable;
};

// Every input-output window whose title starts with the prefix, mapped or not.
std::vector<Window> FindAll(const std::string& titlePrefix);
// One of them, a mapped one if any (toolkits keep hidden helpers with the same title).
std::optional<Window> Find(const std::string& titlePrefix);
// Sends WM_DELETE_WINDOW, as the title bar's close button does.
void RequestClose(unsigned long id);
// Moves the pointer to the root position and clicks the left button.
void Click(int rootX, int rootY);

enum Modifier : unsigned { kNoModifier = 0, kShift = 1, kControl = 2 };
// Focuses the window, then presses one key by X keysym name ("Up", "Home", "r").
void Key(unsigned long window, const std::string& keysymName, unsigned modifiers = kNoModifier);
// Focuses the window, then types printable ASCII text.
void Type(unsigned long window, const std::string& text);

}  // namespace xwin
