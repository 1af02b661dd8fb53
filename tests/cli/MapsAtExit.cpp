// Preloaded into a program run by a test: when the program exits, copies its
// /proc/self/maps to the file named by XYH_MAPS_OUT, so the test can see
// every library the run mapped, those opened on demand included.
#include <cstdio>
#include <cstdlib>

__attribute__((destructor)) static void CopyMapsAtExit() {
  const char* target = std::getenv("XYH_MAPS_OUT");
  if (target == nullptr) return;
  std::FILE* in = std::fopen("/proc/self/maps", "r");
  std::FILE* out = std::fopen(target, "w");
  if (in != nullptr && out != nullptr) {
    char buf[4096];
    for (size_t n; (n = std::fread(buf, 1, sizeof buf, in)) > 0;) std::fwrite(buf, 1, n, out);
  }
  if (in != nullptr) std::fclose(in);
  if (out != nullptr) std::fclose(out);
}
