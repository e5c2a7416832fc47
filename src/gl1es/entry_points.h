#pragma once
// The layer's GL 1.x and GLU entry points, with the signatures of <GL/gl.h>
// and <GL/glu.h> written in plain types (GLenum and GLbitfield are unsigned
// int, GLint and GLsizei int, GLfloat and GLclampf float, GLdouble double),
// so this header needs neither the desktop nor the ES headers.
//
// Geometry from glBegin/glEnd is gathered and drawn in one go when something
// that affects drawing changes: a matrix, the light, a switch, the shading
// model, the kind of primitive (lines or triangles), and before glClear,
// glViewport, glReadPixels and glFlush. A scene that ends with glPopMatrix,
// as every scene of the program does, is therefore completely drawn when it
// returns.

#ifdef __cplusplus
extern "C" {
#endif

void gl1es_glBegin(unsigned int mode);  // GL_TRIANGLES, GL_QUADS, GL_LINES, GL_LINE_STRIP, GL_LINE_LOOP
void gl1es_glEnd(void);
void gl1es_glVertex3d(double x, double y, double z);
void gl1es_glNormal3d(double nx, double ny, double nz);
void gl1es_glColor4f(float r, float g, float b, float a);

// GL_AMBIENT, GL_DIFFUSE, GL_AMBIENT_AND_DIFFUSE; face GL_FRONT or
// GL_FRONT_AND_BACK (two-sided lighting is off, so the back material is
// never used).
void gl1es_glMaterialfv(unsigned int face, unsigned int pname, const float* params);
// GL_LIGHT0 only: GL_POSITION (transformed by the model-view matrix now),
// GL_AMBIENT, GL_DIFFUSE.
void gl1es_glLightfv(unsigned int light, unsigned int pname, const float* params);
void gl1es_glShadeModel(unsigned int mode);  // GL_SMOOTH or GL_FLAT

// GL_LIGHTING, GL_LIGHT0 and GL_NORMALIZE are the layer's; anything else
// (GL_DEPTH_TEST) goes to ES.
void gl1es_glEnable(unsigned int cap);
void gl1es_glDisable(unsigned int cap);

void gl1es_glMatrixMode(unsigned int mode);  // GL_MODELVIEW or GL_PROJECTION
void gl1es_glLoadIdentity(void);
void gl1es_glPushMatrix(void);  // 32 deep per stack, as Mesa; beyond, ignored
void gl1es_glPopMatrix(void);   // the last entry is never popped
void gl1es_glTranslated(double x, double y, double z);
void gl1es_glRotated(double angle, double x, double y, double z);
void gl1es_gluPerspective(double fovy, double aspect, double zNear, double zFar);

void gl1es_glClear(unsigned int mask);
void gl1es_glClearColor(float r, float g, float b, float a);
void gl1es_glViewport(int x, int y, int width, int height);
void gl1es_glFlush(void);

// GL_DRAW_BUFFER (the ES draw buffer 0: GL_BACK for the default
// framebuffer), GL_MATRIX_MODE, GL_MODELVIEW_STACK_DEPTH,
// GL_PROJECTION_STACK_DEPTH and GL_SHADE_MODEL from the layer; anything else
// from ES.
void gl1es_glGetIntegerv(unsigned int pname, int* params);
// GL_MODELVIEW_MATRIX and GL_PROJECTION_MATRIX only.
void gl1es_glGetDoublev(unsigned int pname, double* params);

// Client-side arrays: GL_VERTEX_ARRAY (3 components) and GL_NORMAL_ARRAY,
// of GL_FLOAT or GL_DOUBLE. glDrawArrays takes the modes glBegin takes.
void gl1es_glEnableClientState(unsigned int array);
void gl1es_glDisableClientState(unsigned int array);
void gl1es_glVertexPointer(int size, unsigned int type, int stride, const void* pointer);
void gl1es_glNormalPointer(unsigned int type, int stride, const void* pointer);
void gl1es_glDrawArrays(unsigned int mode, int first, int count);

void gl1es_glPixelStorei(unsigned int pname, int param);
void gl1es_glReadBuffer(unsigned int mode);
void gl1es_glReadPixels(int x, int y, int width, int height, unsigned int format, unsigned int type,
                        void* pixels);

#ifdef __cplusplus
}
#endif
