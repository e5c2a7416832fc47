#pragma once
// OpenGL contexts of the two views, projection, lighting, colour presets and
// the centring vertex routine. No window toolkit here: the views reach the
// window system through ViewSurface, which the windows implement.
#include "state/state.h"

// The window-system side of one 3D view.
class ViewSurface {
public:
  virtual ~ViewSurface() = default;
  // Asks for the closest pixel format (RGBA, 24 colour bits, 32 depth bits,
  // double-buffered if asked); false when none matches.
  virtual bool ChoosePixelFormat(bool doubleBuffer) = 0;
  // Creates a GL context for the surface; null on failure.
  virtual GlContext CreateContext() = 0;
  // Binds rc to the calling thread on this surface; null binds no context.
  virtual void MakeCurrent(GlContext rc) = 0;
  virtual void DeleteContext(GlContext rc) = 0;
  virtual void SwapBuffers() = 0;
  // Client area in device pixels (for the viewport).
  virtual int PixelWidth() const = 0;
  virtual int PixelHeight() const = 0;
};

void MaterialBlack();
void MaterialRed();
void MaterialGreen();
void MaterialBlue();

// Every vertex of both views goes through here: glVertex3d(x-0.5, y-0.5, z-0.5)
// (the filled mesh cells are centred the same way in cell_batch).
void CenteredVertex(double x, double y, double z);

// Gives the window a pixel format; reports "Fehler bei ChoosePixelFormat" when
// none matches and goes on. Returns the window's surface (its "device context").
ViewSurface* SetupPixelFormat(ViewSurface* window, bool doubleBuffer);

// Start-up: contexts for appState.dcGrafik's and dcDaten's windows, given as arguments.
void CreateViewContexts(ViewSurface* grafikWindow, ViewSurface* datenWindow);
void SetupLighting();
// Depth of both views' perspective: nothing nearer or farther is drawn.
inline constexpr double kNearPlane = 1.0;
inline constexpr double kFarPlane = 20.0;

void SetGrafikProjection();
void SetDatenProjection();
void ReleaseViewContexts();
