#include <iostream>

#include "cli/designer.h"

int main(int argc, char** argv) { return cli::RunDesigner(argc, argv, std::cout, std::cerr); }
