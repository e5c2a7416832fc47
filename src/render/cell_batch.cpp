#include "render/cell_batch.h"

#include <GL/gl.h>

#include <vector>

namespace {

// Floats: GL keeps vertices and normals as floats and rounds doubles to the
// nearest one, so the pictures are the same; Mesa's software renderer fetches
// doubles one by one through a slow path, a fifth of a large frame's time.
std::vector<GLfloat> vertices;
std::vector<GLfloat> normals;
CellSubmission submission = CellSubmission::kArrays;

void SendImmediate() {
  for (std::size_t q = 0; q < vertices.size(); q += 12) {
    glBegin(GL_QUADS);
    glNormal3d(normals[q], normals[q + 1], normals[q + 2]);
    for (std::size_t v = q; v < q + 12; v += 3) glVertex3d(vertices[v], vertices[v + 1], vertices[v + 2]);
    glEnd();
  }
}

}  // namespace

void BatchQuad(const double (&normal)[3], const double (&corners)[4][3]) {
  // Grown once per quad and written in place: an element-wise push_back was
  // a tenth of a large frame's time.
  const std::size_t at = vertices.size();
  vertices.resize(at + 12);
  normals.resize(at + 12);
  GLfloat* v = vertices.data() + at;
  GLfloat* n = normals.data() + at;
  for (const auto& corner : corners) {
    for (int a = 0; a < 3; ++a) {
      *v++ = static_cast<GLfloat>(corner[a] - 0.5);
      *n++ = static_cast<GLfloat>(normal[a]);
    }
  }
}

void SetCellSubmission(CellSubmission how) { submission = how; }

void FlushCells() {
  if (vertices.empty()) return;
  if (submission == CellSubmission::kImmediate) {
    SendImmediate();
    vertices.clear();
    normals.clear();
    return;
  }
  glEnableClientState(GL_VERTEX_ARRAY);
  glEnableClientState(GL_NORMAL_ARRAY);
  glVertexPointer(3, GL_FLOAT, 0, vertices.data());
  glNormalPointer(GL_FLOAT, 0, normals.data());
  glDrawArrays(GL_QUADS, 0, static_cast<GLsizei>(vertices.size() / 3));
  glDisableClientState(GL_NORMAL_ARRAY);
  glDisableClientState(GL_VERTEX_ARRAY);
  const GLfloat* last = normals.data() + normals.size() - 3;
  glNormal3d(last[0], last[1], last[2]);
  vertices.clear();
  normals.clear();
}
