// The recording stand-in: definitions of the GL, GLU and GLUT entry points with the
// signatures of the real headers, each appending itself to the call log.
#include "RecordingGL.h"

#define GL_GLEXT_PROTOTYPES
#include <GL/freeglut.h>
#include <GL/gl.h>
#include <GL/glext.h>
#include <GL/glu.h>

#include <algorithm>
#include <initializer_list>

#include "ControlPanel.h"

int fake_elapsed_time = 0;
int fake_modifiers = 0;

std::vector<GLCall>& RecordedCalls() {
  static std::vector<GLCall> calls;
  return calls;
}

void ClearRecordedCalls() { RecordedCalls().clear(); }

int CountCalls(const std::string& name) {
  const auto& calls = RecordedCalls();
  return static_cast<int>(std::count_if(calls.begin(), calls.end(),
                                        [&](const GLCall& c) { return c.name == name; }));
}

std::vector<GLCall> CallsNamed(const std::string& name) {
  std::vector<GLCall> out;
  for (const GLCall& c : RecordedCalls())
    if (c.name == name) out.push_back(c);
  return out;
}

namespace {
void Record(const char* name, std::initializer_list<double> args = {}) {
  RecordedCalls().push_back(GLCall{name, std::vector<double>(args)});
}
}  // namespace

// The panel is drawn by ImGui in the real program; here it only marks its place.
void RenderControlPanel() { Record("RenderControlPanel"); }
float& fake_panel_top = panel_top;
float ControlPanelTop() { return panel_top; }

extern "C" {

// The font symbols GLUT_BITMAP_* take the address of.
void* glutStrokeRoman = nullptr;
void* glutStrokeMonoRoman = nullptr;
void* glutBitmap9By15 = nullptr;
void* glutBitmap8By13 = nullptr;
void* glutBitmapTimesRoman10 = nullptr;
void* glutBitmapTimesRoman24 = nullptr;
void* glutBitmapHelvetica10 = nullptr;
void* glutBitmapHelvetica12 = nullptr;
void* glutBitmapHelvetica18 = nullptr;

// --- GL: primitives and per-vertex state
void glBegin(GLenum mode) { Record("glBegin", {double(mode)}); }
void glEnd(void) { Record("glEnd"); }
void glVertex2i(GLint x, GLint y) { Record("glVertex2i", {double(x), double(y)}); }
void glVertex2f(GLfloat x, GLfloat y) { Record("glVertex2f", {x, y}); }
void glVertex3i(GLint x, GLint y, GLint z) { Record("glVertex3i", {double(x), double(y), double(z)}); }
void glVertex3f(GLfloat x, GLfloat y, GLfloat z) { Record("glVertex3f", {x, y, z}); }
void glVertex3d(GLdouble x, GLdouble y, GLdouble z) { Record("glVertex3d", {x, y, z}); }
void glNormal3f(GLfloat x, GLfloat y, GLfloat z) { Record("glNormal3f", {x, y, z}); }
void glNormal3d(GLdouble x, GLdouble y, GLdouble z) { Record("glNormal3d", {x, y, z}); }
void glColor3f(GLfloat r, GLfloat g, GLfloat b) { Record("glColor3f", {r, g, b}); }
void glColor3d(GLdouble r, GLdouble g, GLdouble b) { Record("glColor3d", {r, g, b}); }
void glColor4f(GLfloat r, GLfloat g, GLfloat b, GLfloat a) { Record("glColor4f", {r, g, b, a}); }
void glTexCoord2f(GLfloat s, GLfloat t) { Record("glTexCoord2f", {s, t}); }
void glTexCoord2d(GLdouble s, GLdouble t) { Record("glTexCoord2d", {s, t}); }
void glRasterPos2i(GLint x, GLint y) { Record("glRasterPos2i", {double(x), double(y)}); }
void glRasterPos2f(GLfloat x, GLfloat y) { Record("glRasterPos2f", {x, y}); }

// --- GL: matrices
void glMatrixMode(GLenum mode) { Record("glMatrixMode", {double(mode)}); }
void glLoadIdentity(void) { Record("glLoadIdentity"); }
void glPushMatrix(void) { Record("glPushMatrix"); }
void glPopMatrix(void) { Record("glPopMatrix"); }
void glTranslatef(GLfloat x, GLfloat y, GLfloat z) { Record("glTranslatef", {x, y, z}); }
void glTranslated(GLdouble x, GLdouble y, GLdouble z) { Record("glTranslated", {x, y, z}); }
void glRotatef(GLfloat a, GLfloat x, GLfloat y, GLfloat z) { Record("glRotatef", {a, x, y, z}); }
void glRotated(GLdouble a, GLdouble x, GLdouble y, GLdouble z) { Record("glRotated", {a, x, y, z}); }
void glScalef(GLfloat x, GLfloat y, GLfloat z) { Record("glScalef", {x, y, z}); }
void glScaled(GLdouble x, GLdouble y, GLdouble z) { Record("glScaled", {x, y, z}); }
void glViewport(GLint x, GLint y, GLsizei w, GLsizei h) {
  Record("glViewport", {double(x), double(y), double(w), double(h)});
}

// --- GL: state
void glEnable(GLenum cap) { Record("glEnable", {double(cap)}); }
void glDisable(GLenum cap) { Record("glDisable", {double(cap)}); }
void glPolygonMode(GLenum face, GLenum mode) { Record("glPolygonMode", {double(face), double(mode)}); }
void glBindTexture(GLenum target, GLuint texture) { Record("glBindTexture", {double(target), double(texture)}); }
void glClear(GLbitfield mask) { Record("glClear", {double(mask)}); }
void glClearColor(GLclampf r, GLclampf g, GLclampf b, GLclampf a) { Record("glClearColor", {r, g, b, a}); }
void glShadeModel(GLenum mode) { Record("glShadeModel", {double(mode)}); }
void glFlush(void) { Record("glFlush"); }
void glBlendFunc(GLenum s, GLenum d) { Record("glBlendFunc", {double(s), double(d)}); }
void glPushAttrib(GLbitfield mask) { Record("glPushAttrib", {double(mask)}); }
void glPopAttrib(void) { Record("glPopAttrib"); }
void glFinish(void) { Record("glFinish"); }
void glDepthMask(GLboolean flag) { Record("glDepthMask", {double(flag)}); }
void glMultMatrixd(const GLdouble*) { Record("glMultMatrixd"); }
void glFogi(GLenum name, GLint value) { Record("glFogi", {double(name), double(value)}); }
void glFogf(GLenum name, GLfloat value) { Record("glFogf", {double(name), value}); }
void glFogfv(GLenum name, const GLfloat* v) { Record("glFogfv", {double(name), v[0], v[1], v[2], v[3]}); }
void glHint(GLenum target, GLenum mode) { Record("glHint", {double(target), double(mode)}); }
// The probe reads the depth under the pointer: here always the far plane, the sky.
void glReadPixels(GLint, GLint, GLsizei, GLsizei, GLenum, GLenum type, GLvoid* pixels) {
  if (type == GL_UNSIGNED_INT)
    *static_cast<GLuint*>(pixels) = 0xFFFFFFFFu;
  else
    *static_cast<GLfloat*>(pixels) = 1.0f;
}
void glPixelStorei(GLenum name, GLint value) { Record("glPixelStorei", {double(name), double(value)}); }
void glGetDoublev(GLenum, GLdouble* v) {
  for (int i = 0; i < 16; ++i) v[i] = i % 5 == 0 ? 1 : 0;
}
void glGetIntegerv(GLenum, GLint* v) { v[0] = v[1] = v[2] = v[3] = 0; }
void glGetFloatv(GLenum, GLfloat* v) { v[0] = v[1] = v[2] = v[3] = 0; }

// --- GL: textures and what relief shading sets up.
void glActiveTexture(GLenum unit) { Record("glActiveTexture", {double(unit)}); }
void glTexEnvi(GLenum target, GLenum name, GLint value) { Record("glTexEnvi", {double(target), double(name), double(value)}); }
void glTexGeni(GLenum coord, GLenum name, GLint value) { Record("glTexGeni", {double(coord), double(name), double(value)}); }
void glTexGenfv(GLenum coord, GLenum name, const GLfloat* v) {
  Record("glTexGenfv", {double(coord), double(name), v[0], v[1], v[2], v[3]});
}
void glClipPlane(GLenum plane, const GLdouble* v) { Record("glClipPlane", {double(plane), v[0], v[1], v[2], v[3]}); }
void glGenTextures(GLsizei n, GLuint* ids) {
  static GLuint next = 100;
  for (GLsizei i = 0; i < n; ++i) ids[i] = next++;
}
void glDeleteTextures(GLsizei, const GLuint*) {}
void glTexParameteri(GLenum, GLenum, GLint) {}
void glTexParameterf(GLenum, GLenum, GLfloat) {}
void glTexImage2D(GLenum, GLint level, GLint, GLsizei w, GLsizei h, GLint, GLenum, GLenum, const GLvoid*) {
  Record("glTexImage2D", {double(level), double(w), double(h)});
}

// --- GL: vertex arrays. No buffer objects (the stand-in says it is OpenGL 1.1), so the
// code draws from client arrays; glDrawElements is recorded together with what it stands
// for: per triangle glBegin, per corner glNormal3f, glColor3f or glTexCoord2f when their
// array is on, glVertex3i, then glEnd.
namespace {
struct ClientArray {
  bool on = false;
  const void* data = nullptr;
};
ClientArray vertex_array, normal_array, colour_array, texcoord_array;
ClientArray* ArrayOf(GLenum cap) {
  switch (cap) {
    case GL_VERTEX_ARRAY: return &vertex_array;
    case GL_NORMAL_ARRAY: return &normal_array;
    case GL_COLOR_ARRAY: return &colour_array;
    case GL_TEXTURE_COORD_ARRAY: return &texcoord_array;
    default: return nullptr;
  }
}
}  // namespace

const GLubyte* glGetString(GLenum) { return reinterpret_cast<const GLubyte*>("1.1 recording stand-in"); }
void glEnableClientState(GLenum cap) {
  Record("glEnableClientState", {double(cap)});
  if (ClientArray* a = ArrayOf(cap)) a->on = true;
}
void glDisableClientState(GLenum cap) {
  Record("glDisableClientState", {double(cap)});
  if (ClientArray* a = ArrayOf(cap)) a->on = false;
}
// Only the layouts the terrain drawing uses: tightly packed GL_INT positions, GL_FLOAT rest.
void glVertexPointer(GLint size, GLenum type, GLsizei stride, const GLvoid* p) {
  Record("glVertexPointer", {double(size), double(type), double(stride)});
  vertex_array.data = p;
}
void glNormalPointer(GLenum type, GLsizei stride, const GLvoid* p) {
  Record("glNormalPointer", {double(type), double(stride)});
  normal_array.data = p;
}
void glColorPointer(GLint size, GLenum type, GLsizei stride, const GLvoid* p) {
  Record("glColorPointer", {double(size), double(type), double(stride)});
  colour_array.data = p;
}
void glTexCoordPointer(GLint size, GLenum type, GLsizei stride, const GLvoid* p) {
  Record("glTexCoordPointer", {double(size), double(type), double(stride)});
  texcoord_array.data = p;
}
void glDrawElements(GLenum mode, GLsizei count, GLenum type, const GLvoid* indices) {
  Record("glDrawElements", {double(mode), double(count), double(type)});
  const GLuint* index = static_cast<const GLuint*>(indices);
  const GLint* positions = static_cast<const GLint*>(vertex_array.data);
  const GLfloat* normals = static_cast<const GLfloat*>(normal_array.data);
  const GLfloat* colours = static_cast<const GLfloat*>(colour_array.data);
  const GLfloat* texcoords = static_cast<const GLfloat*>(texcoord_array.data);
  for (GLsizei i = 0; i < count; ++i) {
    if (i % 3 == 0) Record("glBegin", {double(mode)});
    const GLuint v = index[i];
    if (normal_array.on) Record("glNormal3f", {normals[3 * v], normals[3 * v + 1], normals[3 * v + 2]});
    if (colour_array.on) Record("glColor3f", {colours[3 * v], colours[3 * v + 1], colours[3 * v + 2]});
    if (texcoord_array.on) Record("glTexCoord2f", {texcoords[2 * v], texcoords[2 * v + 1]});
    if (vertex_array.on)
      Record("glVertex3i", {double(positions[3 * v]), double(positions[3 * v + 1]), double(positions[3 * v + 2])});
    if (i % 3 == 2) Record("glEnd");
  }
}
void glDrawArrays(GLenum mode, GLint first, GLsizei count) { Record("glDrawArrays", {double(mode), double(first), double(count)}); }
void glPushClientAttrib(GLbitfield mask) { Record("glPushClientAttrib", {double(mask)}); }
void glPopClientAttrib(void) { Record("glPopClientAttrib"); }
void glLineWidth(GLfloat width) { Record("glLineWidth", {width}); }
void glPointSize(GLfloat size) { Record("glPointSize", {size}); }
// Declared for the buffer-object path, which the stand-in never takes.
void glGenBuffers(GLsizei, GLuint*) { Record("glGenBuffers"); }
void glDeleteBuffers(GLsizei, const GLuint*) { Record("glDeleteBuffers"); }
void glBindBuffer(GLenum, GLuint) { Record("glBindBuffer"); }
void glBufferData(GLenum, GLsizeiptr, const void*, GLenum) { Record("glBufferData"); }
void glBufferSubData(GLenum, GLintptr, GLsizeiptr, const void*) { Record("glBufferSubData"); }

// --- GLU
GLint gluUnProject(GLdouble, GLdouble, GLdouble, const GLdouble*, const GLdouble*, const GLint*, GLdouble*,
                   GLdouble*, GLdouble*) {
  return GL_FALSE;
}
GLint gluProject(GLdouble, GLdouble, GLdouble, const GLdouble*, const GLdouble*, const GLint*, GLdouble*, GLdouble*,
                 GLdouble*) {
  return GL_FALSE;
}
void gluPerspective(GLdouble fovy, GLdouble aspect, GLdouble z_near, GLdouble z_far) {
  Record("gluPerspective", {fovy, aspect, z_near, z_far});
}
void gluLookAt(GLdouble ex, GLdouble ey, GLdouble ez, GLdouble cx, GLdouble cy, GLdouble cz,
               GLdouble ux, GLdouble uy, GLdouble uz) {
  Record("gluLookAt", {ex, ey, ez, cx, cy, cz, ux, uy, uz});
}
void gluOrtho2D(GLdouble left, GLdouble right, GLdouble bottom, GLdouble top) {
  Record("gluOrtho2D", {left, right, bottom, top});
}

// --- GLUT
int glutGet(GLenum query) {
  Record("glutGet", {double(query)});
  return query == GLUT_ELAPSED_TIME ? fake_elapsed_time : 0;
}
void glutBitmapCharacter(void* font, int character) {
  double code = kFontUnknown;
  if (font == GLUT_BITMAP_HELVETICA_10) code = kFontHelvetica10;
  else if (font == GLUT_BITMAP_HELVETICA_12) code = kFontHelvetica12;
  else if (font == GLUT_BITMAP_HELVETICA_18) code = kFontHelvetica18;
  else if (font == GLUT_BITMAP_TIMES_ROMAN_10) code = kFontTimesRoman10;
  else if (font == GLUT_BITMAP_TIMES_ROMAN_24) code = kFontTimesRoman24;
  else if (font == GLUT_BITMAP_8_BY_13) code = kFont8By13;
  else if (font == GLUT_BITMAP_9_BY_15) code = kFont9By15;
  Record("glutBitmapCharacter", {code, double(character)});
}
void glutSwapBuffers(void) { Record("glutSwapBuffers"); }
void glutPostRedisplay(void) { Record("glutPostRedisplay"); }
void glutTimerFunc(unsigned int ms, void (*)(int), int value) {
  Record("glutTimerFunc", {double(ms), double(value)});
}
void glutPostWindowRedisplay(int window) { Record("glutPostWindowRedisplay", {double(window)}); }
int glutGetModifiers(void) { return fake_modifiers; }
int glutGetWindow(void) {
  Record("glutGetWindow");
  return 1;
}
void glutSetWindow(int window) { Record("glutSetWindow", {double(window)}); }

}  // extern "C"
