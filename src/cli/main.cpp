#include "cli/cli_app.h"

#include <cstdio>
#include <iostream>

#ifdef _WIN32
#include "util/path_text.h"

#include <io.h>
#include <string>
#include <vector>
#include <windows.h>

#include <shellapi.h>
#else
#include <unistd.h>
#endif

#ifdef _WIN32
// main()'s arguments come in the ANSI code page, which turns what it lacks
// into "?": the arguments are read as UTF-16 and handed on as UTF-8, and the
// console shows UTF-8.
int main()
{
    SetConsoleOutputCP(CP_UTF8);
    int argc = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (wide == nullptr) {
        std::cerr << "quillery-cli: cannot read the command line\n";
        return quillery::kExitUsage;
    }
    std::vector<std::string> arguments;
    for (int i = 0; i < argc; ++i) {
        const std::wstring argument(wide[i]);
        arguments.push_back(quillery::ToUtf8(std::u16string(argument.begin(), argument.end())));
    }
    LocalFree(wide);
    std::vector<const char*> argv;
    for (const std::string& argument : arguments) {
        argv.push_back(argument.c_str());
    }
    // The C runtime's isatty gives a non-zero flag, not 1, for a console.
    const quillery::CliStreams streams{std::cout, std::cerr, _isatty(_fileno(stderr)) != 0};
    return quillery::RunCli(argc, argv.data(), streams);
}
#else
int main(int argc, char* argv[])
{
    const quillery::CliStreams streams{std::cout, std::cerr, isatty(fileno(stderr)) != 0};
    return quillery::RunCli(argc, argv, streams);
}
#endif
