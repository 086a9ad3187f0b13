#include <QCoreApplication>

#include <gtest/gtest.h>

// The voice reports through queued signals, so the tests run with an event
// loop of their own.
int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  QCoreApplication app(argc, argv);
  return RUN_ALL_TESTS();
}
