#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>

#include "app/application.h"

// The window needs a widget application; the offscreen platform needs no display.
int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication application(argc, argv);
  marrowick::NameApplication();
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
