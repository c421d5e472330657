#pragma once
// A dense matrix addressed from index 1 (row 0 and column 0 exist and are
// never used), the way the analyses state their formulas.
#include <cstddef>
#include <vector>

namespace kalvex {

class Matrix {
 public:
  Matrix() = default;
  Matrix(int rows, int columns, double fill = 0.0) { Resize(rows, columns, fill); }
  void Resize(int rows, int columns, double fill = 0.0) {
    rows_ = rows;
    columns_ = columns;
    data_.assign(static_cast<std::size_t>(rows + 1) * (columns + 1), fill);
  }
  void Fill(double value) { data_.assign(data_.size(), value); }
  double& operator()(int row, int column) { return data_[Offset(row, column)]; }
  double operator()(int row, int column) const { return data_[Offset(row, column)]; }
  int Rows() const { return rows_; }
  int Columns() const { return columns_; }

 private:
  std::size_t Offset(int row, int column) const {
    return static_cast<std::size_t>(row) * (columns_ + 1) + column;
  }
  int rows_ = 0;
  int columns_ = 0;
  std::vector<double> data_;
};

}  // namespace kalvex
