#pragma once
// The application object that fuzz targets drawing charts need, made once on the offscreen
// platform and kept for the life of the process.

#include <QGuiApplication>

inline QGuiApplication& FuzzGui() {
  static int argc = 1;
  static char name[] = "fuzz";
  static char* argv[] = {name, nullptr};
  qputenv("QT_QPA_PLATFORM", "offscreen");
  static QGuiApplication application(argc, argv);
  return application;
}
