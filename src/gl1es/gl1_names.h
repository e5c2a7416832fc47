#pragma once
// Forced include (-include) for code written against GL 1.x and GLU: each
// name below becomes the layer's entry point before <GL/gl.h> or <GL/glu.h>
// is read, so their declarations declare the layer's functions and every
// call lands in the layer. The sources themselves stay unchanged.
#include "gl1es/entry_points.h"

#define glBegin gl1es_glBegin
#define glEnd gl1es_glEnd
#define glVertex3d gl1es_glVertex3d
#define glNormal3d gl1es_glNormal3d
#define glColor4f gl1es_glColor4f
#define glMaterialfv gl1es_glMaterialfv
#define glLightfv gl1es_glLightfv
#define glShadeModel gl1es_glShadeModel
#define glEnable gl1es_glEnable
#define glDisable gl1es_glDisable
#define glMatrixMode gl1es_glMatrixMode
#define glLoadIdentity gl1es_glLoadIdentity
#define glPushMatrix gl1es_glPushMatrix
#define glPopMatrix gl1es_glPopMatrix
#define glTranslated gl1es_glTranslated
#define glRotated gl1es_glRotated
#define gluPerspective gl1es_gluPerspective
#define glClear gl1es_glClear
#define glClearColor gl1es_glClearColor
#define glViewport gl1es_glViewport
#define glFlush gl1es_glFlush
#define glGetIntegerv gl1es_glGetIntegerv
#define glGetDoublev gl1es_glGetDoublev
#define glEnableClientState gl1es_glEnableClientState
#define glDisableClientState gl1es_glDisableClientState
#define glVertexPointer gl1es_glVertexPointer
#define glNormalPointer gl1es_glNormalPointer
#define glDrawArrays gl1es_glDrawArrays
#define glPixelStorei gl1es_glPixelStorei
#define glReadBuffer gl1es_glReadBuffer
#define glReadPixels gl1es_glReadPixels
