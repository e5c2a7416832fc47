#pragma once
// Keyboard and mouse navigation of the two 3D views, as plain functions of
// the virtual-key code, the Shift state and mouse distances in pixels.
#include <array>

#include "render/glwindow.h"  // kFarPlane
#include "state/state.h"

constexpr int kKeyLeft = 37;
constexpr int kKeyUp = 38;
constexpr int kKeyRight = 39;
constexpr int kKeyDown = 40;
constexpr int kKeyR = 82;
constexpr int kKeyT = 84;

// How far keys and mouse take a view, and so where a saved place may put it:
// each camera coordinate within +-kCameraReach (a scene farther away than the
// far plane is drawn nowhere), each angle within +-kAngleReach degrees (where
// the drawing's single precision still resolves a sixteenth of a degree). A
// step that would pass the reach stops at it.
inline constexpr double kCameraReach = kFarPlane;
inline constexpr double kAngleReach = 1e6;

// Whether a place is within that reach (finite and not past it).
bool CameraWithinReach(const Position3& camera);
bool AnglesWithinReach(const Orientation& angles);

void GrafikKeyDown(int key, bool shift);
void DatenKeyDown(int key, bool shift);

// The mouse acts through the same steps as the arrow keys, in fractions of a
// press, and never changes the shared rotate/translate mode. Each call redraws
// its own view only.
enum class NavView { Grafik, Daten };

constexpr double kPixelsPerTurn = 10;  // one rotation step per 10 pixels of a drag
constexpr double kPixelsPerMove = 20;  // one camera step (0.1) per 20 pixels of a drag

// Drag with the left button by (dx, dy) pixels, right and down positive:
// dx acts like Right, dy like Down (with Shift like Shift+Down), as in rotate mode.
void DragTurn(NavView view, double dx, double dy, bool shift);
// Drag with the right or middle button: the picture follows the pointer.
// dx acts like Right, dy like Shift+Down, as in translate mode.
void DragMove(NavView view, double dx, double dy);
// Wheel turned by `notches` (positive: forward, nearer): like as many presses
// of Up in translate mode.
void WheelMove(NavView view, double notches);
// Puts the view's angles and camera back where they started and rebuilds the
// view's model-view matrix from that camera position. The function view keeps
// its selection: in a close-up, the shown function returns to the close-up
// orientation and the camera to that close-up's target; otherwise all four
// functions return to their start orientations and the camera to its start.
void ResetView(NavView view);
// Puts a view where a saved place says (the page's link carries one): the
// data view's angles, or the four functions' orientations, and the view's
// camera; rebuilds the view's model-view matrix from that camera and redraws it.
void PlaceDatenView(const Orientation& angles, const Position3& camera);
void PlaceGrafikView(const std::array<Orientation, 4>& functions, const Position3& camera);
