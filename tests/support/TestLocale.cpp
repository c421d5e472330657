#include "support/TestLocale.h"

#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <unistd.h>

namespace kalvex::testing {
namespace {

// Tried with setlocale rather than newlocale, which keeps the LOCPATH list
// it reads (a leak LeakSanitizer reports).
bool Available(const std::string& name) {
  std::string previous = std::setlocale(LC_ALL, nullptr);
  bool available = std::setlocale(LC_ALL, name.c_str()) != nullptr;
  std::setlocale(LC_ALL, previous.c_str());
  return available;
}

// Compiles name into folder/name; a parallel test doing the same loses
// nothing, as each writes its own temporary folder and renames it.
void Compile(const std::string& name, const std::filesystem::path& folder) {
  std::filesystem::path target = folder / name;
  std::error_code error;
  if (std::filesystem::exists(target, error)) return;
  std::filesystem::create_directories(folder, error);
  std::size_t dot = name.find('.');
  std::string source = name.substr(0, dot), charmap = dot == std::string::npos ? "UTF-8" : name.substr(dot + 1);
  std::filesystem::path temporary = folder / (name + ".tmp" + std::to_string(getpid()));
  std::string command = "localedef -i '" + source + "' -f '" + charmap + "' '" + temporary.string() +
                        "' >/dev/null 2>&1";
  if (std::system(command.c_str()) == 0) std::filesystem::rename(temporary, target, error);
  std::filesystem::remove_all(temporary, error);
}

}  // namespace

std::string PrepareLocale(const std::string& name) {
  if (Available(name)) return {};
  std::string folder = KALVEX_TEST_LOCALES;
  Compile(name, folder);
  setenv("LOCPATH", folder.c_str(), 1);
  if (Available(name)) return {};
  unsetenv("LOCPATH");
  return "the locale " + name + " is not installed and localedef could not make it " +
         "(on Debian the package 'locales' provides its sources)";
}

ScopedProcessLocale::ScopedProcessLocale(const char* name) : ok_(std::setlocale(LC_ALL, name) != nullptr) {}

ScopedProcessLocale::~ScopedProcessLocale() { std::setlocale(LC_ALL, "C"); }

}  // namespace kalvex::testing
