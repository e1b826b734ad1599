#include <iostream>

#include "Commands.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    return velkor::cli::RunCli(args, std::cout, std::cerr);
}
