// OpenGL and GLU entry points that do nothing: linked into the benchmark's
// second program so that a frame measures the game code's own work alone,
// with no driver behind the calls.
#include <GL/gl.h>
#include <GL/glu.h>

extern "C" {
void glAlphaFunc(GLenum, GLclampf) {}
void glBegin(GLenum) {}
void glBindTexture(GLenum, GLuint) {}
void glBlendFunc(GLenum, GLenum) {}
void glCallList(GLuint) {}
void glCallLists(GLsizei, GLenum, const GLvoid*) {}
void glClear(GLbitfield) {}
void glClearColor(GLclampf, GLclampf, GLclampf, GLclampf) {}
void glClearDepth(GLclampd) {}
void glColor3f(GLfloat, GLfloat, GLfloat) {}
void glColor3ub(GLubyte, GLubyte, GLubyte) {}
void glColor4f(GLfloat, GLfloat, GLfloat, GLfloat) {}
void glCullFace(GLenum) {}
void glDeleteLists(GLuint, GLsizei) {}
void glDepthFunc(GLenum) {}
void glDisable(GLenum) {}
void glEnable(GLenum) {}
void glEnd() {}
void glFinish() {}
void glFlush() {}
void glFogf(GLenum, GLfloat) {}
void glFogfv(GLenum, const GLfloat*) {}
void glFogi(GLenum, GLint) {}
void glFrontFace(GLenum) {}
GLuint glGenLists(GLsizei) { return 1; }
void glGenTextures(GLsizei n, GLuint* names) {
    static GLuint next = 1;
    for (GLsizei i = 0; i < n; ++i) names[i] = next++;
}
void glHint(GLenum, GLenum) {}
void glLightfv(GLenum, GLenum, const GLfloat*) {}
void glListBase(GLuint) {}
void glLoadIdentity() {}
void glMatrixMode(GLenum) {}
void glNormal3f(GLfloat, GLfloat, GLfloat) {}
void glNormal3fv(const GLfloat*) {}
void glOrtho(GLdouble, GLdouble, GLdouble, GLdouble, GLdouble, GLdouble) {}
void glPixelStorei(GLenum, GLint) {}
void glPopAttrib() {}
void glPopMatrix() {}
void glPushAttrib(GLbitfield) {}
void glPushMatrix() {}
void glRasterPos2i(GLint, GLint) {}
void glRotatef(GLfloat, GLfloat, GLfloat, GLfloat) {}
void glScalef(GLfloat, GLfloat, GLfloat) {}
void glShadeModel(GLenum) {}
void glTexGeni(GLenum, GLenum, GLint) {}
void glTexImage2D(GLenum, GLint, GLint, GLsizei, GLsizei, GLint, GLenum, GLenum, const GLvoid*) {}
void glTexParameteri(GLenum, GLenum, GLint) {}
void glTranslatef(GLfloat, GLfloat, GLfloat) {}
void glVertex2f(GLfloat, GLfloat) {}
void glVertex3f(GLfloat, GLfloat, GLfloat) {}
void glVertex3fv(const GLfloat*) {}
void glViewport(GLint, GLint, GLsizei, GLsizei) {}
void gluPerspective(GLdouble, GLdouble, GLdouble, GLdouble) {}
GLint gluBuild2DMipmaps(GLenum, GLint, GLsizei, GLsizei, GLenum, GLenum, const void*) { return 0; }
void APIENTRY nullActiveTexture(GLenum) {}
void APIENTRY nullMultiTexCoord2f(GLenum, GLfloat, GLfloat) {}
}
