#include "windows/glview.h"

#include <QExposeEvent>
#include <QKeyEvent>
#include <QResizeEvent>

#include "interaction/navigation.h"

bool GlView::contextCreationFails_ = false;

GlView::GlView(const QString& caption) {
  setTitle(caption);
  setSurfaceType(QSurface::OpenGLSurface);
  setFormat(RequestedFormat(appState.doubleBuffer));
}

GlView::~GlView() { delete context_; }

QSurfaceFormat GlView::RequestedFormat(bool doubleBuffer) {
  QSurfaceFormat f;
  f.setRenderableType(QSurfaceFormat::OpenGL);
  f.setProfile(QSurfaceFormat::CompatibilityProfile);
  f.setRedBufferSize(8);
  f.setGreenBufferSize(8);
  f.setBlueBufferSize(8);
  f.setDepthBufferSize(32);  // the closest available is taken
  // The frames of a view change follow each other without a pause; waiting
  // for the vertical retrace would stretch an 11-frame change past 180 ms.
  f.setSwapInterval(0);
  f.setSwapBehavior(doubleBuffer ? QSurfaceFormat::DoubleBuffer : QSurfaceFormat::SingleBuffer);
  return f;
}

bool GlView::ChoosePixelFormat(bool doubleBuffer) {
  // The format must be fixed before the native window exists; a window that
  // is already shown keeps the format it was created with.
  if (!handle()) {
    setFormat(RequestedFormat(doubleBuffer));
    create();
  }
  return handle() != nullptr;
}

GlContext GlView::CreateContext() {
  if (contextCreationFails_) return nullptr;
  auto* ctx = new QOpenGLContext;
  ctx->setFormat(requestedFormat());
  if (!ctx->create()) {
    delete ctx;
    return nullptr;
  }
  delete context_;
  context_ = ctx;
  return ctx;
}

void GlView::MakeCurrent(GlContext rc) {
  if (rc) {
    static_cast<QOpenGLContext*>(rc)->makeCurrent(this);
  } else if (QOpenGLContext* current = QOpenGLContext::currentContext()) {
    current->doneCurrent();
  }
}

void GlView::DeleteContext(GlContext rc) {
  if (!rc) return;
  auto* ctx = static_cast<QOpenGLContext*>(rc);
  if (ctx == context_) context_ = nullptr;
  delete ctx;
}

void GlView::SwapBuffers() {
  // Swapping a window that is not on screen is undefined in Qt; the next
  // expose redraws it anyway.
  if (context_ && isExposed()) context_->swapBuffers(this);
}

int GlView::PixelWidth() const { return qRound(width() * devicePixelRatio()); }
int GlView::PixelHeight() const { return qRound(height() * devicePixelRatio()); }

void GlView::SetContextCreationFails(bool fails) { contextCreationFails_ = fails; }

int GlView::VirtualKey(int qtKey) {
  switch (qtKey) {
    case Qt::Key_Left: return kKeyLeft;
    case Qt::Key_Up: return kKeyUp;
    case Qt::Key_Right: return kKeyRight;
    case Qt::Key_Down: return kKeyDown;
    default: break;
  }
  // Letters and digits share their codes with the virtual keys.
  if ((qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) || (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)) {
    return qtKey;
  }
  return 0;
}

bool GlView::event(QEvent* e) {
  // Closing a view only hides it; the program ends from the control panel.
  if (e->type() == QEvent::Close) {
    e->ignore();
    hide();
    return true;
  }
  return QWindow::event(e);
}

void GlView::exposeEvent(QExposeEvent*) {
  if (isExposed()) PaintOrResize(width(), height());
}

void GlView::resizeEvent(QResizeEvent*) {
  if (isExposed()) PaintOrResize(width(), height());
}

void GlView::keyPressEvent(QKeyEvent* e) {
  KeyDown(VirtualKey(e->key()), e->modifiers().testFlag(Qt::ShiftModifier));
}
