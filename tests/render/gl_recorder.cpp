#include "gl_recorder.h"

#include <GL/glu.h>

#include <map>

namespace {
std::vector<GlCall> gLog;

void Rec(const char* name, std::vector<double> args = {}) { gLog.push_back({name, std::move(args)}); }

// Client-side arrays as the stand-ins were given them.
struct ClientArray {
  bool enabled = false;
  GLenum type = GL_FLOAT;
  GLsizei stride = 0;
  const void* pointer = nullptr;

  std::array<double, 3> At(GLint i) const {
    const std::size_t size = type == GL_DOUBLE ? sizeof(GLdouble) : sizeof(GLfloat);
    const std::size_t step = stride != 0 ? static_cast<std::size_t>(stride) : 3 * size;
    const auto* e = static_cast<const unsigned char*>(pointer) + static_cast<std::size_t>(i) * step;
    if (type == GL_DOUBLE) {
      const auto* d = reinterpret_cast<const GLdouble*>(e);
      return {d[0], d[1], d[2]};
    }
    const auto* f = reinterpret_cast<const GLfloat*>(e);
    return {f[0], f[1], f[2]};
  }
};
ClientArray gVertices, gNormals;

// What each logged glDrawArrays drew, copied at the call (the arrays may be
// reused afterwards), by its position in the log.
std::map<std::size_t, Primitive> gArrayDraws;
}  // namespace

Calls& GlLog() { return gLog; }
void ClearGlLog() {
  gLog.clear();
  gArrayDraws.clear();
}

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

const Primitive& ArrayDrawAt(std::size_t logIndex) { return gArrayDraws.at(logIndex); }

std::size_t PrimitivesStartedBy(const GlCall& call) {
  if (call.name == "glBegin") return 1;
  if (call.name != "glDrawArrays") return 0;
  return call.args[0] == GL_QUADS ? static_cast<std::size_t>(call.args[2]) / 4 : 1;
}

std::vector<Primitive> Primitives() {
  std::vector<Primitive> out;
  bool open = false;
  for (std::size_t i = 0; i < gLog.size(); ++i) {
    const GlCall& c = gLog[i];
    if (c.name == "glDrawArrays") {
      if (open) ADD_FAILURE() << "glDrawArrays inside glBegin/glEnd";
      const Primitive& drawn = gArrayDraws.at(i);
      if (drawn.mode != GL_QUADS) {
        out.push_back(drawn);
        continue;
      }
      for (std::size_t q = 0; q + 4 <= drawn.vertices.size(); q += 4) {
        Primitive quad{GL_QUADS, {}, {}};
        for (std::size_t v = q; v < q + 4; ++v) {
          quad.vertices.push_back(drawn.vertices[v]);
          if (!drawn.normals.empty()) quad.normals.push_back(drawn.normals[v]);
        }
        out.push_back(quad);
      }
    } else if (c.name == "glBegin") {
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
  gVertices = gNormals = {};
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
void glEnableClientState(GLenum array) {
  Rec("glEnableClientState", {static_cast<double>(array)});
  if (array == GL_VERTEX_ARRAY) gVertices.enabled = true;
  if (array == GL_NORMAL_ARRAY) gNormals.enabled = true;
}
void glDisableClientState(GLenum array) {
  Rec("glDisableClientState", {static_cast<double>(array)});
  if (array == GL_VERTEX_ARRAY) gVertices.enabled = false;
  if (array == GL_NORMAL_ARRAY) gNormals.enabled = false;
}
void glVertexPointer(GLint size, GLenum type, GLsizei stride, const GLvoid* pointer) {
  Rec("glVertexPointer", {static_cast<double>(size), static_cast<double>(type), static_cast<double>(stride)});
  gVertices = {gVertices.enabled, type, stride, pointer};
}
void glNormalPointer(GLenum type, GLsizei stride, const GLvoid* pointer) {
  Rec("glNormalPointer", {static_cast<double>(type), static_cast<double>(stride)});
  gNormals = {gNormals.enabled, type, stride, pointer};
}
void glDrawArrays(GLenum mode, GLint first, GLsizei count) {
  Primitive drawn{mode, {}, {}};
  if (gVertices.enabled) {
    for (GLint i = first; i < first + count; ++i) {
      drawn.vertices.push_back(gVertices.At(i));
      if (gNormals.enabled) drawn.normals.push_back(gNormals.At(i));
    }
  } else {
    ADD_FAILURE() << "glDrawArrays without a vertex array";
  }
  gArrayDraws[gLog.size()] = drawn;
  Rec("glDrawArrays", {static_cast<double>(mode), static_cast<double>(first), static_cast<double>(count)});
}
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
