// Numbers written into dumps and recordings so that they read back exactly: floats with 9
// significant digits, doubles with 17.
#pragma once

#include <cstdio>
#include <string>

inline std::string spelt(float value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.9g", static_cast<double>(value));
  return text;
}

inline std::string spelt(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.17g", value);
  return text;
}
