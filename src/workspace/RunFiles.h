#pragma once
// The files one run writes (a report and its picture, a posterior and its
// grid), saved together at the run's end: each is staged beside its target,
// and only when every one is complete are they moved into place, so a
// failure leaves every old file as it was and writes no new one.
#include <optional>
#include <string>
#include <vector>

namespace kalvex {

class RunFiles {
 public:
  // what names the file in a failure: "The report", "The picture".
  void Add(std::string path, std::string content, std::string what);

  // "The picture could not be saved to PATH: reason" for the file that
  // failed; nullopt when all were saved.
  std::optional<std::string> Save() const;

 private:
  struct File {
    std::string path, content, what;
  };
  std::vector<File> files_;
};

}  // namespace kalvex
