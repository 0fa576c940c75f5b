// What every stand-in does with a use it does not model: says so, and stops the program.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>

namespace standin {

[[noreturn]] inline void Unsupported(const std::string& what) {
  std::fprintf(stderr, "stand-in: unsupported use: %s\n", what.c_str());
  std::abort();
}

}  // namespace standin
