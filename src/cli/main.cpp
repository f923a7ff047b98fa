#include "cli/cli_app.h"

#include <cstdio>
#include <iostream>

#include <unistd.h>

int main(int argc, char* argv[])
{
    const quillery::CliStreams streams{std::cout, std::cerr, isatty(fileno(stderr)) == 1};
    return quillery::RunCli(argc, argv, streams);
}
