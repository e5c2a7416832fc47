#include "windows/glview.h"

#include <utility>

#include <QDropEvent>
#include <QExposeEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QResizeEvent>
#include <QWheelEvent>

#include "render/readback.h"
#include "render/scenes.h"
#include "windows/picture_out.h"
#include "windows/file_paths.h"

namespace {

// The path (bytes) of the one local file the data names, or empty.
std::string SingleLocalFile(const QMimeData* data) {
  if (data == nullptr || !data->hasUrls()) return {};
  const QList<QUrl> urls = data->urls();
  if (urls.size() != 1 || !urls.front().isLocalFile()) return {};
  return LocalFilePath(urls.front());
}

}  // namespace

bool GlView::contextCreationFails_ = false;

GlView::GlView(const QString& caption, NavView view, const QString& pictureName)
    : view_(view), pictureName_(pictureName) {
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
  if (context_ && isExposed() && !holdSwap_) context_->swapBuffers(this);
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
  switch (e->type()) {
    case QEvent::Close:
      // Closing a view only hides it; the program ends from the control panel.
      e->ignore();
      hide();
      return true;
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
      return HandleDrop(e);
    case QEvent::DragLeave:
      return true;
    default:
      return QWindow::event(e);
  }
}

bool GlView::HandleDrop(QEvent* e) {
  // DragEnter and DragMove events derive from the drop event.
  auto* drop = static_cast<QDropEvent*>(e);
  const std::string path = SingleLocalFile(drop->mimeData());
  if (!fileDropped || path.empty()) {
    drop->ignore();
    return true;
  }
  drop->acceptProposedAction();
  if (e->type() == QEvent::Drop) fileDropped(path);
  return true;
}

void GlView::exposeEvent(QExposeEvent*) {
  if (!isExposed()) return;
  // The window manager's frame is known once the view is on the screen.
  if (firstExposed) std::exchange(firstExposed, nullptr)();
  PaintOrResize(width(), height());
}

void GlView::resizeEvent(QResizeEvent*) {
  if (isExposed()) PaintOrResize(width(), height());
}

void GlView::keyPressEvent(QKeyEvent* e) {
  if (e->matches(QKeySequence::Copy)) {
    CopyPicture();
  } else if (e->matches(QKeySequence::Save)) {
    AskAndSavePicture();
  } else if (e->key() == Qt::Key_B && showPictureWindow) {
    showPictureWindow();
  } else {
    KeyDown(VirtualKey(e->key()), e->modifiers().testFlag(Qt::ShiftModifier));
  }
}

namespace {

PointerButton Button(Qt::MouseButton b) {
  switch (b) {
    case Qt::LeftButton: return PointerButton::Left;
    case Qt::RightButton: return PointerButton::Right;
    case Qt::MiddleButton: return PointerButton::Middle;
    default: return PointerButton::None;
  }
}

Qt::MouseButton QtButton(PointerButton b) {
  switch (b) {
    case PointerButton::Left: return Qt::LeftButton;
    case PointerButton::Right: return Qt::RightButton;
    case PointerButton::Middle: return Qt::MiddleButton;
    default: return Qt::NoButton;
  }
}

}  // namespace

bool GlView::DragButtonHeld(const QMouseEvent* e) const {
  const Qt::MouseButton b = QtButton(drag_.dragButton());
  return b != Qt::NoButton && e->buttons().testFlag(b);
}

void GlView::mousePressEvent(QMouseEvent* e) {
  drag_.Press(Button(e->button()), e->position().x(), e->position().y(), DragButtonHeld(e));
}

void GlView::mouseMoveEvent(QMouseEvent* e) {
  drag_.Move(e->position().x(), e->position().y(), DragButtonHeld(e),
             e->modifiers().testFlag(Qt::ShiftModifier));
}

void GlView::mouseReleaseEvent(QMouseEvent* e) {
  if (drag_.Release(Button(e->button()))) ShowContextMenu(e->globalPosition().toPoint());
}

void GlView::mouseDoubleClickEvent(QMouseEvent* e) { drag_.DoubleClick(Button(e->button())); }

void GlView::wheelEvent(QWheelEvent* e) {
  const double notches = WheelNotches(e->angleDelta().y(), e->pixelDelta().y());
  if (notches != 0) WheelMove(view_, notches);
  e->accept();
}

void GlView::ShowContextMenu(const QPoint& globalPos) {
  // Made on first use: a view may exist without a widget application.
  if (!menu_) menu_ = MakePictureMenu([this] { CopyPicture(); }, [this] { AskAndSavePicture(); });
  menu_->popup(globalPos);
}

QImage GlView::Picture() {
  const AppState& s = appState;
  const GlContext rc = view_ == NavView::Grafik ? s.rcGrafik : s.rcDaten;
  const int w = PixelWidth(), h = PixelHeight();
  if (!context_ || rc != context_ || w <= 0 || h <= 0) return {};
  // Drawn into the buffer that would be shown next, and read from there.
  holdSwap_ = true;
  if (view_ == NavView::Grafik) RedrawGrafik();
  else RedrawDaten();
  holdSwap_ = false;
  MakeCurrent(context_);
  const std::vector<std::uint8_t> rgba = ReadDrawBuffer(w, h);
  const QImage img(rgba.data(), w, h, w * 4, QImage::Format_RGBA8888);
  // GL counts rows from the bottom; the copy outlives the buffer.
  return img.mirrored().convertToFormat(QImage::Format_RGB32);
}

void GlView::CopyPicture() { CopyPictureToClipboard(Picture()); }

bool GlView::SavePicture(const QString& path) { return WritePicture(Picture(), path); }

void GlView::AskAndSavePicture() {
  const QString path = AskPictureName(pictureName_);
  if (!path.isEmpty()) SavePicture(path);
}
