#pragma once
// A top-level window whose whole client area is an OpenGL surface: the Qt
// side of ViewSurface for the function view and the data view.
#include <QOpenGLContext>
#include <QWindow>

#include "render/glwindow.h"

class GlView : public QWindow, public ViewSurface {
  Q_OBJECT
public:
  explicit GlView(const QString& caption);
  ~GlView() override;

  bool ChoosePixelFormat(bool doubleBuffer) override;
  GlContext CreateContext() override;
  void MakeCurrent(GlContext rc) override;
  void DeleteContext(GlContext rc) override;
  void SwapBuffers() override;
  int PixelWidth() const override;
  int PixelHeight() const override;

  // Test seam: makes every later context creation fail, as on a machine
  // without a usable OpenGL.
  static void SetContextCreationFails(bool fails);

  // Maps Qt's key codes onto the virtual-key codes the navigation expects.
  static int VirtualKey(int qtKey);

protected:
  bool event(QEvent* e) override;
  void exposeEvent(QExposeEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;

  // Paint/resize and key events of the concrete view.
  virtual void PaintOrResize(int clientWidth, int clientHeight) = 0;
  virtual void KeyDown(int key, bool shift) = 0;

private:
  static QSurfaceFormat RequestedFormat(bool doubleBuffer);
  QOpenGLContext* context_ = nullptr;
  static bool contextCreationFails_;
};
