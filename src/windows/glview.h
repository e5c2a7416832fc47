#pragma once
// A top-level window whose whole client area is an OpenGL surface: the Qt
// side of ViewSurface for the function view and the data view.
#include <QImage>
#include <QOpenGLContext>
#include <QWindow>
#include <functional>
#include <memory>
#include <string>

#include "interaction/navigation.h"
#include "interaction/pointer_drag.h"
#include "render/glwindow.h"

class QMenu;

class GlView : public QWindow, public ViewSurface {
  Q_OBJECT
public:
  // `pictureName` is the name the save dialog proposes.
  GlView(const QString& caption, NavView view, const QString& pictureName);
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

  // Called with the path of a single local file dropped on the view; while
  // empty, the view accepts no drops.
  std::function<void(const std::string& localPath)> fileDropped;  // path as bytes
  // Runs once, when the view is first on the screen.
  std::function<void()> firstExposed;
  // Called when B is pressed in the view: the picture window opens.
  std::function<void()> showPictureWindow;

  // The view's picture in device pixels, freshly drawn and read back from its
  // context; null when the view has no context or no pixels.
  QImage Picture();
  // Puts the picture on the clipboard.
  void CopyPicture();
  // Writes the picture to `path`: JPEG when the name ends in .jpg or .jpeg,
  // else PNG. A failure is reported in a message box; returns whether it worked.
  bool SavePicture(const QString& path);
  // Asks for a file name, then writes the picture there.
  void AskAndSavePicture();

protected:
  bool event(QEvent* e) override;
  void exposeEvent(QExposeEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void mouseDoubleClickEvent(QMouseEvent* e) override;
  void wheelEvent(QWheelEvent* e) override;

  // Paint/resize and key events of the concrete view.
  virtual void PaintOrResize(int clientWidth, int clientHeight) = 0;
  virtual void KeyDown(int key, bool shift) = 0;

private:
  static QSurfaceFormat RequestedFormat(bool doubleBuffer);
  bool HandleDrop(QEvent* e);
  void ShowContextMenu(const QPoint& globalPos);

  QOpenGLContext* context_ = nullptr;
  static bool contextCreationFails_;
  const NavView view_;
  const QString pictureName_;
  bool holdSwap_ = false;  // while the picture is read back, the frame stays unshown

  // Whether the button of the drag under way is among the event's held buttons.
  bool DragButtonHeld(const QMouseEvent* e) const;

  PointerDrag drag_{view_};
  std::unique_ptr<QMenu> menu_;
};
