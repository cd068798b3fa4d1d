// Stand-in for one of the product's two console tools: the installer only stores and writes out its
// payloads, so a small program that says what it is serves every test of the installer.
#include <cstdio>

int main() {
  printf("%s %s (stand-in)\n", QOR_STAND_IN_NAME, QOR_STAND_IN_VERSION);
  return 0;
}
