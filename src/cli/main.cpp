#include <iostream>

#include "cli_context.h"

int main(int argc, char** argv) {
    return partita::cli::Run(argc, argv, std::cout, std::cerr);
}
