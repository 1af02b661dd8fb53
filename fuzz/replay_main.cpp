// Without libFuzzer (a g++ build) the fuzz targets still run in the test
// suite: every file of the corpus, then a fixed number of mutations of
// them, deterministic from run to run.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s CORPUS_DIR [ITERATIONS]\n", argv[0]);
    return 2;
  }
  std::vector<std::string> inputs;
  for (const auto& entry : std::filesystem::directory_iterator(argv[1])) {
    std::ifstream in(entry.path(), std::ios::binary);
    inputs.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  for (const auto& input : inputs) {
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(input.data()), input.size());
  }
  const long iterations = argc > 2 ? std::atol(argv[2]) : 20000;
  std::mt19937 random(12345);
  static const char kPieces[] = "<>/=\"' .#[]:()-,*\nabcdiv spantdtr1n+";
  for (long i = 0; i < iterations && !inputs.empty(); ++i) {
    std::string s = inputs[random() % inputs.size()];
    const int edits = 1 + static_cast<int>(random() % 8);
    for (int e = 0; e < edits; ++e) {
      const size_t at = s.empty() ? 0 : random() % (s.size() + 1);
      switch (random() % 3) {
        case 0: s.insert(at, 1, kPieces[random() % (sizeof kPieces - 1)]); break;
        case 1:
          if (at < s.size()) s.erase(at, 1 + random() % 4);
          break;
        default:
          if (at < s.size()) s[at] = static_cast<char>(random() % 256);
          break;
      }
    }
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(s.data()), s.size());
  }
  std::printf("%zu corpus inputs and %ld mutations ran\n", inputs.size(), iterations);
  return 0;
}
