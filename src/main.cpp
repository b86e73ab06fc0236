#include "app/program.h"

int main(int argc, char** argv) { return vm::RunProgram(argc, argv); }
