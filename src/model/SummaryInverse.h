#pragma once
// The inverse of the summary's centred cross-product matrix by the shared
// Crout LU. Here a row of zeros is a division by zero (a floating-point
// fault that ends the report), not a message about a free parameter as in
// the minimizers.
#include "workspace/Matrix.h"

namespace kalvex::model {

// Returns the inverse of a (1..n x 1..n). A pivot left at 0 becomes 1e-20.
// Throws NumericFault("Division by zero") for a row of zeros, and a
// NumericFault for a row scale or a solution that overflows.
Matrix InvertScaledLu(const Matrix& a);

}  // namespace kalvex::model
