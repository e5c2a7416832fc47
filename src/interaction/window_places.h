#pragma once
// Where the windows go on the screen, so that a person can reach them: under
// a window manager the views' title bars stay on the screen, the "Analyse"
// window goes beside the views where there is room, and the help does not
// cover the control panel. Client sizes never change.
struct Box {
  int x = 0, y = 0, width = 0, height = 0;
  int Right() const { return x + width; }    // one past the last column
  int Bottom() const { return y + height; }  // one past the last row
  bool Intersects(const Box& o) const {
    return x < o.Right() && o.x < Right() && y < o.Bottom() && o.y < Bottom();
  }
};
struct Margins {
  int left = 0, top = 0, right = 0, bottom = 0;  // the window manager's frame
};

// Client top-left corners of the function view (client 492 x 528) and the
// data view. Without a frame (no window manager) the client corners are
// (1, -1) and (493, -1); with one, the frames start at the top of `screen`
// and the data view's frame follows the function view's.
struct ViewPlaces {
  int grafikX, grafikY, datenX, datenY;
};
ViewPlaces PlaceViews(const Box& screen, const Margins& m);

// Frame top-left of a window with client size `client`: right of `beside`
// (a frame) at its top where the screen has room, else at the screen's top
// left corner.
struct Point {
  int x, y;
};
Point PlaceBeside(const Box& screen, const Margins& m, const Box& beside, int clientWidth, int clientHeight);

// Frame position and client size of the help: where it was asked for
// (`wanted`, a client box at frame position wanted.x, wanted.y) if that does
// not cover `panel` (a frame); else right of the panel, else above it
// (shorter if need be, down to `minHeight`), else below it.
Box PlaceHelp(const Box& screen, const Margins& m, const Box& panel, const Box& wanted, int minHeight = 240);
