#pragma once
// kalvex-batch: the analyses without windows, writing the files the windows save.
#include <iosfwd>

namespace kalvex::batch {

// Exit codes: 0 success, 1 bad input (after its message), 2 wrong usage.
int RunBatch(int argc, char** argv, std::ostream& out, std::ostream& err);

}  // namespace kalvex::batch
