#pragma once
// The one shader pair: the fixed-function vertex transform and per-vertex
// (Gouraud) lighting of GL 1.x for one light, and smooth or flat colour.
#include <GLES3/gl3.h>

namespace gl1es {

// Vertex attribute locations, fixed in the shader.
enum Attribute : GLuint { kPosition = 0, kNormal = 1, kAmbient = 2, kDiffuse = 3, kColor = 4 };

struct Program {
  GLuint id = 0;
  GLint modelViewProjection = -1, modelView = -1, normalMatrix = -1;
  GLint lighting = -1, light0 = -1, normalize = -1;
  GLint lightPosition = -1, lightAmbient = -1, lightDiffuse = -1, sceneAmbient = -1;
  GLint flat = -1;
};

// Compiles and links in the current ES context; id 0 on failure.
Program BuildProgram();

}  // namespace gl1es
