#pragma once
// Keyboard navigation of the two 3D views, as plain functions of the
// virtual-key code and the Shift state.

constexpr int kKeyLeft = 37;
constexpr int kKeyUp = 38;
constexpr int kKeyRight = 39;
constexpr int kKeyDown = 40;
constexpr int kKeyR = 82;
constexpr int kKeyT = 84;

void GrafikKeyDown(int key, bool shift);
void DatenKeyDown(int key, bool shift);
