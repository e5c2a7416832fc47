#include "gl_recorder.h"

#include <GL/glu.h>

namespace {
std::vector<GlCall> gLog;

void Rec(const char* name, std::vector<double> args = {}) { gLog.push_back({name, std::move(args)}); }
}  // namespace

Calls& GlLog() { return gLog; }
void ClearGlLog() { gLog.clear(); }

int CountCalls(const std::string& name) {
  int n = 0;
  for (const GlCall& c : gLog) n += c.name == name ? 1 : 0;
  return n;
}

void PrintTo(const GlCall& call, std::ostream* os) {
  *os << call.name << "(";
  for (std::size_t i = 0; i < call.args.size(); ++i) *os << (i ? ", " : "") << call.args[i];
  *os << ")";
}

std::vector<Primitive> Primitives() {
  std::vector<Primitive> out;
  bool open = false;
  for (const GlCall& c : gLog) {
    if (c.name == "glBegin") {
      if (open) ADD_FAILURE() << "nested glBegin";
      out.push_back({static_cast<GLenum>(c.args[0]), {}, {}});
      open = true;
    } else if (c.name == "glEnd") {
      if (!open) ADD_FAILURE() << "glEnd without glBegin";
      open = false;
    } else if (open && c.name == "glVertex3d") {
      out.back().vertices.push_back({c.args[0], c.args[1], c.args[2]});
    } else if (open && c.name == "glNormal3d") {
      out.back().normals.push_back({c.args[0], c.args[1], c.args[2]});
    }
  }
  if (open) ADD_FAILURE() << "glBegin without glEnd";
  return out;
}

void FakeSurface::Record(const char* op, std::vector<double> args) {
  gLog.push_back({label_ + "." + op, std::move(args)});
}
bool FakeSurface::ChoosePixelFormat(bool doubleBuffer) {
  Record("ChoosePixelFormat", {doubleBuffer ? 1.0 : 0.0});
  return pixelFormatOk;
}
GlContext FakeSurface::CreateContext() {
  Record("CreateContext");
  return contextOk ? Context() : nullptr;
}
void FakeSurface::MakeCurrent(GlContext rc) { Record("MakeCurrent", {Tag(rc)}); }
void FakeSurface::DeleteContext(GlContext rc) { Record("DeleteContext", {Tag(rc)}); }
void FakeSurface::SwapBuffers() { Record("SwapBuffers"); }

void RenderTest::SetUp() {
  ResetAppState();
  FillPowerTables();
  AppState& s = appState;
  s.dcGrafik = s.dcDaten = nullptr;
  s.rcGrafik = s.rcDaten = nullptr;
  s.waveletCoeffs = {0.1, 0.2, 0.7, -0.6, 0.3};
  s.showMessage = [](const std::string& text) { gLog.push_back({"message:" + text, {}}); };
  ClearGlLog();
}

void RenderTest::TearDown() {
  AppState& s = appState;
  s.showMessage = nullptr;
  s.dcGrafik = s.dcDaten = nullptr;
  s.rcGrafik = s.rcDaten = nullptr;
}

// The stand-in entry points, with the signatures of <GL/gl.h> and <GL/glu.h>.
extern "C" {
void glBegin(GLenum mode) { Rec("glBegin", {static_cast<double>(mode)}); }
void glEnd(void) { Rec("glEnd"); }
void glVertex3d(GLdouble x, GLdouble y, GLdouble z) { Rec("glVertex3d", {x, y, z}); }
void glNormal3d(GLdouble nx, GLdouble ny, GLdouble nz) { Rec("glNormal3d", {nx, ny, nz}); }
void glMaterialfv(GLenum face, GLenum pname, const GLfloat* p) {
  Rec("glMaterialfv", {static_cast<double>(face), static_cast<double>(pname), p[0], p[1], p[2], p[3]});
}
void glLightfv(GLenum light, GLenum pname, const GLfloat* p) {
  Rec("glLightfv", {static_cast<double>(light), static_cast<double>(pname), p[0], p[1], p[2], p[3]});
}
void glShadeModel(GLenum mode) { Rec("glShadeModel", {static_cast<double>(mode)}); }
void glEnable(GLenum cap) { Rec("glEnable", {static_cast<double>(cap)}); }
void glClear(GLbitfield mask) { Rec("glClear", {static_cast<double>(mask)}); }
void glClearColor(GLclampf r, GLclampf g, GLclampf b, GLclampf a) { Rec("glClearColor", {r, g, b, a}); }
void glMatrixMode(GLenum mode) { Rec("glMatrixMode", {static_cast<double>(mode)}); }
void glLoadIdentity(void) { Rec("glLoadIdentity"); }
void glPushMatrix(void) { Rec("glPushMatrix"); }
void glPopMatrix(void) { Rec("glPopMatrix"); }
void glTranslated(GLdouble x, GLdouble y, GLdouble z) { Rec("glTranslated", {x, y, z}); }
void glRotated(GLdouble angle, GLdouble x, GLdouble y, GLdouble z) { Rec("glRotated", {angle, x, y, z}); }
void glFlush(void) { Rec("glFlush"); }
void glViewport(GLint x, GLint y, GLsizei w, GLsizei h) {
  Rec("glViewport", {static_cast<double>(x), static_cast<double>(y), static_cast<double>(w),
                     static_cast<double>(h)});
}
void gluPerspective(GLdouble fovy, GLdouble aspect, GLdouble zNear, GLdouble zFar) {
  Rec("gluPerspective", {fovy, aspect, zNear, zFar});
}
}
