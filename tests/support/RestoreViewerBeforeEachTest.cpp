// Every test of the unit and draw programs starts from the viewer's start state
// (ViewerStartState.h).
#include <gtest/gtest.h>

#include "ViewerStartState.h"

namespace {

class RestoreBeforeEachTest : public testing::EmptyTestEventListener {
  void OnTestStart(const testing::TestInfo&) override { viewer_test::RestoreViewerStartState(); }
};

// Registered before main runs; gtest_main keeps the listeners.
const bool registered = [] {
  testing::UnitTest::GetInstance()->listeners().Append(new RestoreBeforeEachTest);
  return true;
}();

}  // namespace
