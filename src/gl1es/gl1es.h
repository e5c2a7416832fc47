#pragma once
// GL 1.x immediate mode (the calls the drawing code makes) over OpenGL ES 3.00
// or WebGL 2. Each GL context gets its own layer context holding the state
// GL 1.x keeps per context: matrix stacks, current normal, colour and
// material, light, switches, and the geometry gathered from glBegin/glEnd.
//
// Code written against <GL/gl.h> reaches the layer by being compiled with
// gl1_names.h as a forced include; the layer itself calls only ES 3.

struct Gl1esContext;

// The ES 3 / WebGL 2 context must be current. Builds the shader pair and the
// vertex buffer in it; null if the shaders do not build. Does not change
// which layer context is current.
Gl1esContext* Gl1esCreateContext();

// The layer context that the GL 1.x calls act on from now on; its ES context
// must be the current one. nullptr: none, and the calls do nothing.
void Gl1esMakeCurrent(Gl1esContext* c);

// Draws what is still gathered and frees the context's ES objects; its ES
// context must be current. If c was current, none is afterwards.
void Gl1esDestroyContext(Gl1esContext* c);
