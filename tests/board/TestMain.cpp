#include "tests/board/BoardTestSupport.h"

int main(int argc, char** argv) { return boardtest::RunAll(argc, argv); }
