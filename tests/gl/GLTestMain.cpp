// Test entry for the GL tests: one GLUT window (the size of the viewer's) whose context
// every test draws into; run under Xvfb.
#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include "Brackenholmer.h"

int main(int argc, char** argv) {
  glutInit(&argc, argv);
  glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
  glutInitWindowPosition(50, 50);
  glutInitWindowSize(1024, 768);
  main_window = glutCreateWindow("Brackenholmer GL tests");
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
