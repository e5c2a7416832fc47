#include "gl1es/gl1es.h"

#include <GLES3/gl3.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

#include "gl1es/entry_points.h"
#include "gl1es/shaders.h"
#include "gl1es/transform.h"

namespace {

using gl1es::Mat4;

// GL 1.x enumerants that ES 3 does not have (values from the GL 1.x headers).
constexpr GLenum kQuads = 0x0007;
constexpr GLenum kModelView = 0x1700;
constexpr GLenum kProjection = 0x1701;
constexpr GLenum kLighting = 0x0B50;
constexpr GLenum kLight0 = 0x4000;
constexpr GLenum kNormalize = 0x0BA1;
constexpr GLenum kAmbient = 0x1200;
constexpr GLenum kDiffuse = 0x1201;
constexpr GLenum kPosition = 0x1203;
constexpr GLenum kAmbientAndDiffuse = 0x1602;
constexpr GLenum kFlat = 0x1D00;
constexpr GLenum kSmooth = 0x1D01;
constexpr GLenum kShadeModel = 0x0B54;
constexpr GLenum kMatrixMode = 0x0BA0;
constexpr GLenum kDrawBuffer = 0x0C01;
constexpr GLenum kModelViewStackDepth = 0x0BA3;
constexpr GLenum kProjectionStackDepth = 0x0BA4;
constexpr GLenum kModelViewMatrix = 0x0BA6;
constexpr GLenum kProjectionMatrix = 0x0BA7;
constexpr GLenum kVertexArray = 0x8074;
constexpr GLenum kNormalArray = 0x8075;
constexpr GLenum kDouble = 0x140A;

// Mesa's stack depth for both matrix stacks (GL 1.x asks at least 32 and 2).
constexpr std::size_t kStackDepth = 32;
// A batch is drawn when it reaches this many vertices, to bound its buffer.
constexpr std::size_t kBatchLimit = 1u << 17;

// Everything a vertex takes from the current state when glVertex is called;
// the material may change between glBegin and glEnd, so it travels along.
struct Vertex {
  float position[3];
  float normal[3];
  float ambient[4];
  float diffuse[4];
  float color[4];
};

enum class Batch { None, Lines, Triangles };

Batch KindOf(GLenum mode) {
  switch (mode) {
    case GL_LINES:
    case GL_LINE_STRIP:
    case GL_LINE_LOOP:
      return Batch::Lines;
    case GL_TRIANGLES:
    case kQuads:
      return Batch::Triangles;
    default:
      return Batch::None;
  }
}

void Copy4(float (&to)[4], const float* from) { std::copy(from, from + 4, to); }

// Component a of element i of a client array of three-component entries.
double ArrayComponent(GLenum type, GLsizei stride, const void* pointer, int i, int a) {
  const std::size_t size = type == kDouble ? sizeof(double) : sizeof(float);
  const std::size_t step = stride != 0 ? static_cast<std::size_t>(stride) : 3 * size;
  const auto* element = static_cast<const unsigned char*>(pointer) + static_cast<std::size_t>(i) * step;
  if (type == kDouble) return reinterpret_cast<const double*>(element)[a];
  return reinterpret_cast<const float*>(element)[a];
}

}  // namespace

struct Gl1esContext {
  gl1es::Program program;
  GLuint vertexArray = 0;
  GLuint buffer = 0;

  GLenum matrixMode = kModelView;
  std::vector<Mat4> modelView{gl1es::Identity()};
  std::vector<Mat4> projection{gl1es::Identity()};

  // Current values and GL's initial material and light 0.
  float normal[3] = {0.0f, 0.0f, 1.0f};
  float color[4] = {1.0f, 1.0f, 1.0f, 1.0f};
  float ambient[4] = {0.2f, 0.2f, 0.2f, 1.0f};
  float diffuse[4] = {0.8f, 0.8f, 0.8f, 1.0f};
  float lightPosition[4] = {0.0f, 0.0f, 1.0f, 0.0f};  // eye coordinates
  float lightAmbient[4] = {0.0f, 0.0f, 0.0f, 1.0f};
  float lightDiffuse[4] = {1.0f, 1.0f, 1.0f, 1.0f};
  bool lighting = false, light0 = false, normalize = false;
  GLenum shadeModel = kSmooth;

  // Client-side vertex and normal arrays (GL_FLOAT or GL_DOUBLE).
  struct ClientArray {
    bool enabled = false;
    GLenum type = GL_FLOAT;
    GLsizei stride = 0;
    const void* pointer = nullptr;
  };
  ClientArray vertices, normals;

  // The open glBegin/glEnd pair and the geometry gathered since the last draw.
  bool inBegin = false;
  GLenum beginMode = 0;
  std::vector<Vertex> primitive;
  Batch batchKind = Batch::None;
  std::vector<Vertex> batch;

  std::vector<Mat4>& Stack() { return matrixMode == kProjection ? projection : modelView; }
  Mat4& Top() { return Stack().back(); }
};

namespace {

Gl1esContext* gCurrent = nullptr;

// The current context, or null when there is none or a glBegin/glEnd pair is
// open (where GL 1.x refuses state changes other than vertex data).
Gl1esContext* Outside() {
  Gl1esContext* c = gCurrent;
  return c != nullptr && !c->inBegin ? c : nullptr;
}

void ToFloats(const Mat4& m, float (&out)[16]) {
  for (int i = 0; i < 16; ++i) out[i] = static_cast<float>(m[i]);
}

// Draws the gathered geometry with the state it was gathered under.
void Draw(Gl1esContext& c) {
  if (c.batch.empty()) return;
  const gl1es::Program& p = c.program;
  glUseProgram(p.id);
  glBindVertexArray(c.vertexArray);
  glBindBuffer(GL_ARRAY_BUFFER, c.buffer);
  glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(c.batch.size() * sizeof(Vertex)), c.batch.data(),
               GL_STREAM_DRAW);

  const Mat4& mv = c.modelView.back();
  float m[16];
  ToFloats(gl1es::Multiply(c.projection.back(), mv), m);
  glUniformMatrix4fv(p.modelViewProjection, 1, GL_FALSE, m);
  ToFloats(mv, m);
  glUniformMatrix4fv(p.modelView, 1, GL_FALSE, m);
  const gl1es::Mat3 n = gl1es::NormalMatrix(mv);
  float n3[9];
  for (int i = 0; i < 9; ++i) n3[i] = static_cast<float>(n[i]);
  glUniformMatrix3fv(p.normalMatrix, 1, GL_FALSE, n3);
  glUniform1i(p.lighting, c.lighting ? 1 : 0);
  glUniform1i(p.light0, c.light0 ? 1 : 0);
  glUniform1i(p.normalize, c.normalize ? 1 : 0);
  glUniform4fv(p.lightPosition, 1, c.lightPosition);
  glUniform4fv(p.lightAmbient, 1, c.lightAmbient);
  glUniform4fv(p.lightDiffuse, 1, c.lightDiffuse);
  glUniform4f(p.sceneAmbient, 0.2f, 0.2f, 0.2f, 1.0f);  // the light model's default
  glUniform1i(p.flat, c.shadeModel == kFlat ? 1 : 0);

  glDrawArrays(c.batchKind == Batch::Lines ? GL_LINES : GL_TRIANGLES, 0, static_cast<GLsizei>(c.batch.size()));
  c.batch.clear();
  c.batchKind = Batch::None;
}

// Appends the finished primitive as separate lines or triangles in which
// each GL 1.x primitive's provoking vertex (the one flat shading takes the
// colour from) comes last, as ES 3 expects it.
void Gather(Gl1esContext& c) {
  const std::vector<Vertex>& v = c.primitive;
  std::vector<Vertex>& out = c.batch;
  const std::size_t n = v.size();
  switch (c.beginMode) {
    case GL_LINES:
      out.insert(out.end(), v.begin(), v.begin() + static_cast<std::ptrdiff_t>(n - n % 2));
      break;
    case GL_LINE_STRIP:
    case GL_LINE_LOOP:
      if (n < 2) break;
      for (std::size_t i = 0; i + 1 < n; ++i) {
        out.push_back(v[i]);
        out.push_back(v[i + 1]);
      }
      // The closing segment's provoking vertex is the first vertex.
      if (c.beginMode == GL_LINE_LOOP) {
        out.push_back(v[n - 1]);
        out.push_back(v[0]);
      }
      break;
    case GL_TRIANGLES:
      out.insert(out.end(), v.begin(), v.begin() + static_cast<std::ptrdiff_t>(n - n % 3));
      break;
    case kQuads:
      // The splits Mesa's GL makes (they show in the outline and shading of
      // a quad that is not flat): smooth, v0 v1 v2 and v0 v2 v3; flat, v0 v1 v3
      // and v1 v2 v3, so that both halves end in the quad's provoking vertex
      // v3. A change of shading model draws the batch first, so the model now
      // is the one it is drawn with.
      for (std::size_t i = 0; i + 3 < n; i += 4) {
        const Vertex* q = &v[i];
        if (c.shadeModel == kFlat) {
          for (const Vertex* w : {&q[0], &q[1], &q[3], &q[1], &q[2], &q[3]}) out.push_back(*w);
        } else {
          for (const Vertex* w : {&q[0], &q[1], &q[2], &q[0], &q[2], &q[3]}) out.push_back(*w);
        }
      }
      break;
    default:
      break;
  }
}

// Anything that changes how gathered geometry would be drawn draws it first.
void Settle() {
  if (gCurrent != nullptr) Draw(*gCurrent);
}

void ChangeTop(const Mat4& factor) {
  Gl1esContext* c = Outside();
  if (c == nullptr) return;
  Draw(*c);
  c->Top() = gl1es::Multiply(c->Top(), factor);
}

bool* Switch(Gl1esContext& c, GLenum cap) {
  switch (cap) {
    case kLighting: return &c.lighting;
    case kLight0: return &c.light0;
    case kNormalize: return &c.normalize;
    default: return nullptr;
  }
}

void SetCapability(GLenum cap, bool on) {
  Gl1esContext* c = Outside();
  if (c == nullptr) return;
  if (bool* s = Switch(*c, cap)) {
    if (*s != on) Draw(*c);
    *s = on;
    return;
  }
  Draw(*c);
  if (on) {
    glEnable(cap);
  } else {
    glDisable(cap);
  }
}

}  // namespace

Gl1esContext* Gl1esCreateContext() {
  gl1es::Program program = gl1es::BuildProgram();
  if (program.id == 0) return nullptr;
  auto* c = new Gl1esContext;
  c->program = program;
  glGenVertexArrays(1, &c->vertexArray);
  glGenBuffers(1, &c->buffer);
  glBindVertexArray(c->vertexArray);
  glBindBuffer(GL_ARRAY_BUFFER, c->buffer);
  auto attribute = [](GLuint index, GLint size, std::size_t offset) {
    glEnableVertexAttribArray(index);
    glVertexAttribPointer(index, size, GL_FLOAT, GL_FALSE, static_cast<GLsizei>(sizeof(Vertex)),
                          reinterpret_cast<const void*>(offset));
  };
  attribute(gl1es::kPosition, 3, offsetof(Vertex, position));
  attribute(gl1es::kNormal, 3, offsetof(Vertex, normal));
  attribute(gl1es::kAmbient, 4, offsetof(Vertex, ambient));
  attribute(gl1es::kDiffuse, 4, offsetof(Vertex, diffuse));
  attribute(gl1es::kColor, 4, offsetof(Vertex, color));
  glBindVertexArray(0);
  return c;
}

void Gl1esMakeCurrent(Gl1esContext* c) {
  // What the previous context still holds stays with it: its ES context is
  // no longer current, so it is drawn there at that context's next draw.
  gCurrent = c;
}

void Gl1esDestroyContext(Gl1esContext* c) {
  if (c == nullptr) return;
  if (!c->inBegin) Draw(*c);
  glDeleteBuffers(1, &c->buffer);
  glDeleteVertexArrays(1, &c->vertexArray);
  glDeleteProgram(c->program.id);
  if (gCurrent == c) gCurrent = nullptr;
  delete c;
}

extern "C" {

void gl1es_glBegin(GLenum mode) {
  Gl1esContext* c = Outside();
  if (c == nullptr) return;
  const Batch kind = KindOf(mode);
  if (kind != Batch::None && c->batchKind != Batch::None && c->batchKind != kind) Draw(*c);
  c->inBegin = true;
  c->beginMode = mode;
  c->primitive.clear();
}

void gl1es_glEnd(void) {
  Gl1esContext* c = gCurrent;
  if (c == nullptr || !c->inBegin) return;
  c->inBegin = false;
  const Batch kind = KindOf(c->beginMode);
  if (kind == Batch::None) return;
  c->batchKind = kind;
  Gather(*c);
  if (c->batch.empty()) c->batchKind = Batch::None;
  if (c->batch.size() >= kBatchLimit) Draw(*c);
}

void gl1es_glVertex3d(double x, double y, double z) {
  Gl1esContext* c = gCurrent;
  if (c == nullptr || !c->inBegin) return;
  Vertex v{};
  v.position[0] = static_cast<float>(x);
  v.position[1] = static_cast<float>(y);
  v.position[2] = static_cast<float>(z);
  std::copy(c->normal, c->normal + 3, v.normal);
  Copy4(v.ambient, c->ambient);
  Copy4(v.diffuse, c->diffuse);
  Copy4(v.color, c->color);
  c->primitive.push_back(v);
}

void gl1es_glNormal3d(double nx, double ny, double nz) {
  Gl1esContext* c = gCurrent;
  if (c == nullptr) return;
  c->normal[0] = static_cast<float>(nx);
  c->normal[1] = static_cast<float>(ny);
  c->normal[2] = static_cast<float>(nz);
}

void gl1es_glColor4f(GLfloat r, GLfloat g, GLfloat b, GLfloat a) {
  Gl1esContext* c = gCurrent;
  if (c == nullptr) return;
  c->color[0] = r;
  c->color[1] = g;
  c->color[2] = b;
  c->color[3] = a;
}

void gl1es_glMaterialfv(GLenum face, GLenum pname, const GLfloat* params) {
  Gl1esContext* c = gCurrent;
  // Two-sided lighting is off: only the front material is ever used.
  if (c == nullptr || (face != GL_FRONT && face != GL_FRONT_AND_BACK)) return;
  if (pname == kAmbient || pname == kAmbientAndDiffuse) Copy4(c->ambient, params);
  if (pname == kDiffuse || pname == kAmbientAndDiffuse) Copy4(c->diffuse, params);
}

void gl1es_glLightfv(GLenum light, GLenum pname, const GLfloat* params) {
  Gl1esContext* c = Outside();
  if (c == nullptr || light != kLight0) return;
  Draw(*c);
  switch (pname) {
    case kPosition: {
      // Kept in eye coordinates, as transformed by the model-view matrix now.
      gl1es::Vec4 eye = gl1es::Transform(c->modelView.back(), {params[0], params[1], params[2], params[3]});
      if (eye[3] == 0.0) {
        const double length = std::sqrt(eye[0] * eye[0] + eye[1] * eye[1] + eye[2] * eye[2]);
        if (length > 0.0)
          for (int i = 0; i < 3; ++i) eye[i] /= length;
      }
      for (int i = 0; i < 4; ++i) c->lightPosition[i] = static_cast<float>(eye[i]);
      break;
    }
    case kAmbient: Copy4(c->lightAmbient, params); break;
    case kDiffuse: Copy4(c->lightDiffuse, params); break;
    default: break;
  }
}

void gl1es_glShadeModel(GLenum mode) {
  Gl1esContext* c = Outside();
  if (c == nullptr || (mode != kFlat && mode != kSmooth) || mode == c->shadeModel) return;
  Draw(*c);
  c->shadeModel = mode;
}

void gl1es_glEnable(GLenum cap) { SetCapability(cap, true); }
void gl1es_glDisable(GLenum cap) { SetCapability(cap, false); }

void gl1es_glMatrixMode(GLenum mode) {
  Gl1esContext* c = Outside();
  if (c != nullptr && (mode == kModelView || mode == kProjection)) c->matrixMode = mode;
}

void gl1es_glLoadIdentity(void) {
  Gl1esContext* c = Outside();
  if (c == nullptr) return;
  Draw(*c);
  c->Top() = gl1es::Identity();
}

void gl1es_glPushMatrix(void) {
  Gl1esContext* c = Outside();
  if (c == nullptr || c->Stack().size() >= kStackDepth) return;
  // The top is copied: the current matrix does not change, nothing to draw.
  c->Stack().push_back(c->Top());
}

void gl1es_glPopMatrix(void) {
  Gl1esContext* c = Outside();
  if (c == nullptr || c->Stack().size() <= 1) return;
  Draw(*c);
  c->Stack().pop_back();
}

void gl1es_glTranslated(double x, double y, double z) { ChangeTop(gl1es::Translation(x, y, z)); }

void gl1es_glRotated(double angle, double x, double y, double z) {
  ChangeTop(gl1es::Rotation(angle, x, y, z));
}

void gl1es_gluPerspective(double fovy, double aspect, double zNear, double zFar) {
  Mat4 p;
  if (gl1es::Perspective(fovy, aspect, zNear, zFar, p)) ChangeTop(p);
}

void gl1es_glClear(GLbitfield mask) {
  if (Outside() == nullptr) return;
  Settle();
  glClear(mask);
}

void gl1es_glClearColor(GLfloat r, GLfloat g, GLfloat b, GLfloat a) {
  if (Outside() != nullptr) glClearColor(r, g, b, a);
}

void gl1es_glViewport(GLint x, GLint y, GLsizei width, GLsizei height) {
  if (Outside() == nullptr) return;
  Settle();
  glViewport(x, y, width, height);
}

void gl1es_glFlush(void) {
  if (Outside() == nullptr) return;
  Settle();
  glFlush();
}

void gl1es_glGetIntegerv(GLenum pname, GLint* params) {
  Gl1esContext* c = Outside();
  if (c == nullptr) return;
  switch (pname) {
    case kDrawBuffer: glGetIntegerv(GL_DRAW_BUFFER0, params); break;
    case kMatrixMode: *params = static_cast<GLint>(c->matrixMode); break;
    case kModelViewStackDepth: *params = static_cast<GLint>(c->modelView.size()); break;
    case kProjectionStackDepth: *params = static_cast<GLint>(c->projection.size()); break;
    case kShadeModel: *params = static_cast<GLint>(c->shadeModel); break;
    default: glGetIntegerv(pname, params); break;
  }
}

void gl1es_glGetDoublev(GLenum pname, double* params) {
  Gl1esContext* c = Outside();
  if (c == nullptr) return;
  if (pname == kModelViewMatrix) std::copy(c->modelView.back().begin(), c->modelView.back().end(), params);
  if (pname == kProjectionMatrix) std::copy(c->projection.back().begin(), c->projection.back().end(), params);
}

void gl1es_glEnableClientState(GLenum array) {
  Gl1esContext* c = Outside();
  if (c == nullptr) return;
  if (array == kVertexArray) c->vertices.enabled = true;
  if (array == kNormalArray) c->normals.enabled = true;
}

void gl1es_glDisableClientState(GLenum array) {
  Gl1esContext* c = Outside();
  if (c == nullptr) return;
  if (array == kVertexArray) c->vertices.enabled = false;
  if (array == kNormalArray) c->normals.enabled = false;
}

void gl1es_glVertexPointer(GLint size, GLenum type, GLsizei stride, const void* pointer) {
  Gl1esContext* c = Outside();
  if (c == nullptr || size != 3 || (type != GL_FLOAT && type != kDouble) || stride < 0) return;
  c->vertices = {c->vertices.enabled, type, stride, pointer};
}

void gl1es_glNormalPointer(GLenum type, GLsizei stride, const void* pointer) {
  Gl1esContext* c = Outside();
  if (c == nullptr || (type != GL_FLOAT && type != kDouble) || stride < 0) return;
  c->normals = {c->normals.enabled, type, stride, pointer};
}

// GL 1.x defines the draw as glBegin(mode), the elements' normals and
// vertices in order, glEnd(); the current normal is left as it was.
void gl1es_glDrawArrays(GLenum mode, GLint first, GLsizei count) {
  Gl1esContext* c = Outside();
  if (c == nullptr || !c->vertices.enabled || c->vertices.pointer == nullptr || first < 0 || count <= 0)
    return;
  const bool withNormals = c->normals.enabled && c->normals.pointer != nullptr;
  float normal[3];
  std::copy(c->normal, c->normal + 3, normal);
  gl1es_glBegin(mode);
  c->primitive.reserve(static_cast<std::size_t>(count));
  for (GLint i = first; i < first + count; ++i) {
    if (withNormals) {
      const auto& n = c->normals;
      gl1es_glNormal3d(ArrayComponent(n.type, n.stride, n.pointer, i, 0),
                       ArrayComponent(n.type, n.stride, n.pointer, i, 1),
                       ArrayComponent(n.type, n.stride, n.pointer, i, 2));
    }
    const auto& v = c->vertices;
    gl1es_glVertex3d(ArrayComponent(v.type, v.stride, v.pointer, i, 0),
                     ArrayComponent(v.type, v.stride, v.pointer, i, 1),
                     ArrayComponent(v.type, v.stride, v.pointer, i, 2));
  }
  gl1es_glEnd();
  std::copy(normal, normal + 3, c->normal);
}

void gl1es_glPixelStorei(GLenum pname, GLint param) {
  if (Outside() != nullptr) glPixelStorei(pname, param);
}

void gl1es_glReadBuffer(GLenum mode) {
  if (Outside() != nullptr) glReadBuffer(mode);
}

void gl1es_glReadPixels(GLint x, GLint y, GLsizei width, GLsizei height, GLenum format, GLenum type,
                        void* pixels) {
  if (Outside() == nullptr) return;
  Settle();
  glReadPixels(x, y, width, height, format, type, pixels);
}

}  // extern "C"
