#pragma once
// Locales for checking that numbers ignore the process locale (QApplication
// sets it from the environment).
#include <string>

namespace kalvex::testing {

// A comma-decimal locale: "1.5" is "1,5" to the C library there.
inline constexpr const char* kCommaLocale = "de_DE.UTF-8";

// Makes a locale ("de_DE.UTF-8") available to setlocale and newlocale. The
// system's copy serves when installed; otherwise localedef compiles one into
// the build folder and LOCPATH (in the environment, so that a QApplication
// made afterwards finds it too) points there. Returns why the locale cannot
// be had, empty when it can.
std::string PrepareLocale(const std::string& name);

// Sets the whole process locale for its lifetime, then "C" again.
class ScopedProcessLocale {
 public:
  explicit ScopedProcessLocale(const char* name);
  ~ScopedProcessLocale();
  ScopedProcessLocale(const ScopedProcessLocale&) = delete;
  ScopedProcessLocale& operator=(const ScopedProcessLocale&) = delete;
  bool ok() const { return ok_; }

 private:
  bool ok_;
};

}  // namespace kalvex::testing
