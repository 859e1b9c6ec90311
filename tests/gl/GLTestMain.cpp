// Test entry for the GL tests: one GLUT window (the size of the viewer's) whose context
// every test draws into; run under Xvfb. Every suite starts from a known state, whatever
// the suite before it left behind.
#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include "Brackenholmer.h"
#include "GLTestState.h"

namespace {

class ResetAtSuiteStart : public testing::EmptyTestEventListener {
  void OnTestSuiteStart(const testing::TestSuite& /*suite*/) override { ResetViewerState(); }
};

}  // namespace

int main(int argc, char** argv) {
  glutInit(&argc, argv);
  glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
  glutInitWindowPosition(50, 50);
  glutInitWindowSize(1024, 768);
  main_window = glutCreateWindow("Brackenholmer GL tests");
  testing::InitGoogleTest(&argc, argv);
  testing::UnitTest::GetInstance()->listeners().Append(new ResetAtSuiteStart);
  return RUN_ALL_TESTS();
}
