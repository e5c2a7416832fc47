#include "gl1es/shaders.h"

namespace gl1es {

namespace {

// The lighting equation of GL 1.x for light 0 with the light model's
// defaults (viewer at infinity, one-sided, no separate specular colour):
//   colour = emission + ambient_m * ambient_scene
//            + ambient_m * ambient_l + max(n . L, 0) * diffuse_m * diffuse_l
//            (+ specular, which with GL's default material specular of
//            (0, 0, 0, 1) and black emission is zero and is left out),
//   alpha  = the diffuse material's, everything clamped to [0, 1].
// Attenuation and spot factor are 1 at their defaults. The normal goes
// through the inverse transpose of the model-view matrix and is normalised
// only when GL_NORMALIZE is on; back faces get the same colour (two-sided
// lighting off).
const char* const kVertexShader = R"(#version 300 es
layout(location = 0) in vec3 aPosition;
layout(location = 1) in vec3 aNormal;
layout(location = 2) in vec4 aAmbient;
layout(location = 3) in vec4 aDiffuse;
layout(location = 4) in vec4 aColor;

uniform mat4 uModelViewProjection;
uniform mat4 uModelView;
uniform mat3 uNormalMatrix;
uniform bool uLighting;
uniform bool uLight0;
uniform bool uNormalize;
uniform vec4 uLightPosition;  // eye coordinates; a direction (w = 0) comes normalised
uniform vec4 uLightAmbient;
uniform vec4 uLightDiffuse;
uniform vec4 uSceneAmbient;

out vec4 vColor;
flat out vec4 vFlatColor;

void main() {
  gl_Position = uModelViewProjection * vec4(aPosition, 1.0);
  vec4 color = aColor;
  if (uLighting) {
    vec3 rgb = aAmbient.rgb * uSceneAmbient.rgb;
    if (uLight0) {
      vec3 n = uNormalMatrix * aNormal;
      if (uNormalize) n = normalize(n);
      vec3 toLight = uLightPosition.xyz;
      if (uLightPosition.w != 0.0) {
        vec4 eye = uModelView * vec4(aPosition, 1.0);
        toLight = normalize(uLightPosition.xyz / uLightPosition.w - eye.xyz / eye.w);
      }
      rgb += aAmbient.rgb * uLightAmbient.rgb
           + max(dot(n, toLight), 0.0) * aDiffuse.rgb * uLightDiffuse.rgb;
    }
    color = vec4(rgb, aDiffuse.a);
  }
  color = clamp(color, 0.0, 1.0);
  vColor = color;
  vFlatColor = color;
}
)";

// Flat shading takes the colour of the primitive's last vertex, which is the
// provoking vertex of ES 3 and also of GL 1.x for lines, triangles and quads.
const char* const kFragmentShader = R"(#version 300 es
precision highp float;
uniform bool uFlat;
in vec4 vColor;
flat in vec4 vFlatColor;
out vec4 fragColor;

void main() {
  fragColor = uFlat ? vFlatColor : vColor;
}
)";

GLuint Compile(GLenum type, const char* source) {
  const GLuint shader = glCreateShader(type);
  glShaderSource(shader, 1, &source, nullptr);
  glCompileShader(shader);
  GLint ok = GL_FALSE;
  glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
  if (ok != GL_TRUE) {
    glDeleteShader(shader);
    return 0;
  }
  return shader;
}

}  // namespace

Program BuildProgram() {
  Program p;
  const GLuint vs = Compile(GL_VERTEX_SHADER, kVertexShader);
  const GLuint fs = Compile(GL_FRAGMENT_SHADER, kFragmentShader);
  if (vs != 0 && fs != 0) {
    p.id = glCreateProgram();
    glAttachShader(p.id, vs);
    glAttachShader(p.id, fs);
    glLinkProgram(p.id);
    GLint ok = GL_FALSE;
    glGetProgramiv(p.id, GL_LINK_STATUS, &ok);
    if (ok != GL_TRUE) {
      glDeleteProgram(p.id);
      p.id = 0;
    }
  }
  // Attached shaders go when the program goes.
  if (vs != 0) glDeleteShader(vs);
  if (fs != 0) glDeleteShader(fs);
  if (p.id == 0) return p;
  p.modelViewProjection = glGetUniformLocation(p.id, "uModelViewProjection");
  p.modelView = glGetUniformLocation(p.id, "uModelView");
  p.normalMatrix = glGetUniformLocation(p.id, "uNormalMatrix");
  p.lighting = glGetUniformLocation(p.id, "uLighting");
  p.light0 = glGetUniformLocation(p.id, "uLight0");
  p.normalize = glGetUniformLocation(p.id, "uNormalize");
  p.lightPosition = glGetUniformLocation(p.id, "uLightPosition");
  p.lightAmbient = glGetUniformLocation(p.id, "uLightAmbient");
  p.lightDiffuse = glGetUniformLocation(p.id, "uLightDiffuse");
  p.sceneAmbient = glGetUniformLocation(p.id, "uSceneAmbient");
  p.flat = glGetUniformLocation(p.id, "uFlat");
  return p;
}

}  // namespace gl1es
