#pragma once
// kalvex-batch: the analyses without windows, writing the files the windows save.
#include <functional>
#include <iosfwd>
#include <memory>

#include "workspace/Model.h"

namespace kalvex::batch {

using ModelFactory = std::function<std::unique_ptr<Model>()>;

// Exit codes: 0 success (also --help, --version), 1 bad input or a failed
// analysis (after its message), 2 wrong usage.
int RunBatch(int argc, const char* const* argv, std::ostream& out, std::ostream& err);
int RunBatch(int argc, const char* const* argv, std::ostream& out, std::ostream& err,
             const ModelFactory& makeModel);

}  // namespace kalvex::batch
