// The overlay text over the frame, in GLUT's bitmap font.
#include <GL/freeglut.h>
#include <GL/gl.h>
#include <GL/glu.h>

#include <cstring>

#include "Brackenholmer.h"
#include "LookGlobals.h"

// Writes each newline-separated piece of text on its own row from the top-left corner,
// in a 100 x 100 window space. Overwrites the newlines of text.
void Brackenholmer::RenderText(char* text, int /*position*/) {
  // The whole window, not the 3-D view above the panel: the text keeps its place.
  glViewport(0, 0, width, height);
  glDisable(GL_LIGHTING);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluOrtho2D(0, 100, 0, 100);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  // White reads on black; over the pale sky a dark blue does.
  if (sky) glColor3f(0.08f, 0.12f, 0.25f);
  else glColor3f(1, 1, 1);

  int top = 95;
  char* saved = nullptr;
  for (char* piece = strtok_r(text, "\n", &saved); piece != nullptr;
       piece = strtok_r(nullptr, "\n", &saved)) {
    glRasterPos2i(2, top);
    for (const char* c = piece; *c != '\0'; ++c) glutBitmapCharacter(GLUT_BITMAP_HELVETICA_10, *c);
    top -= 3;
  }

  if (light) glEnable(GL_LIGHTING);
}
