// The yardstick for a small command line's start-up: the least a C++ program
// that prints a line costs, built with the same compiler and flags as xyh-cli.
#include <iostream>

int main() {
  std::cout << "hello\n";
  return 0;
}
