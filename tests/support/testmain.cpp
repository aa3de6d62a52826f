#include <gtest/gtest.h>

#include "platform/application/application.h"

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  qputenv("QT_FONT_DPI", "96");
  ::testing::InitGoogleTest(&argc, argv);
  Application.Initialize(argc, argv);
  const int result = RUN_ALL_TESTS();
  Application.Finalize();
  return result;
}
