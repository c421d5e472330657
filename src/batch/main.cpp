#include <iostream>

#include "batch/Batch.h"

int main(int argc, char** argv) { return kalvex::batch::RunBatch(argc, argv, std::cout, std::cerr); }
