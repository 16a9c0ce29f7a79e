// Writes the benchmarks' generated ADIF file, for measuring an import by
// hand (under Wine, say):
//
//   generate_adif RECORDS FILE
#include <cstdio>
#include <cstdlib>
#include <string>

#include "generated_adif.h"

int main(int argc, char** argv) {
  if (argc != 3 || std::atoi(argv[1]) <= 0) {
    std::fprintf(stderr, "usage: generate_adif RECORDS FILE\n");
    return 2;
  }
  quillet::bench::WriteAdif(argv[2], std::atoi(argv[1]));
  return 0;
}
