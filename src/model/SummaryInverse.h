#pragma once
// The inverse of the summary's centred cross-product matrix: Crout LU with
// rows scaled by their largest entry, then a substitution per identity
// column. A row of zeros is a division by zero here (a floating-point fault
// that ends the report), not a message about a free parameter as in the
// minimizers' decomposition, which is why the summary keeps its own.
#include "workspace/Matrix.h"

namespace kalvex::model {

// Returns the inverse of a (1..n x 1..n). A pivot left at 0 becomes 1e-20.
// Throws NumericFault("Division by zero") for a row of zeros and for an
// overflowing solution.
Matrix InvertScaledLu(const Matrix& a);

}  // namespace kalvex::model
