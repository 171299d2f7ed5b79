// Program entry point.

#include <cstdio>

int main() {
  std::puts("Quandrel 3D: the game window is not built yet; run the tests instead.");
  return 0;
}
