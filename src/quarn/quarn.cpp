// quarn: the console search tool.
#include "err/err.h"

int main(int argc, char** argv) {
  err_init(argc, argv, nullptr, nullptr, nullptr, nullptr);
  ERR_USER(ERR_ERR, 9012, "No path specified.");
  err_free();
  return 1;
}
