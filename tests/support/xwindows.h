#pragma once
// Finding and driving another process's top-level windows on the X server,
// as a person (or a window manager) would: clicks and close requests.
#include <optional>
#include <string>

namespace xwin {

struct Window {
  unsigned long id;
  int x, y;           // client area on the root window
  int width, height;
  bool viewable;
};

// The top-level window whose title starts with the given text.
std::optional<Window> Find(const std::string& titlePrefix);
// Sends WM_DELETE_WINDOW, as the title bar's close button does.
void RequestClose(unsigned long id);
// Moves the pointer to the root position and clicks the left button (XTest).
void Click(int rootX, int rootY);

}  // namespace xwin
