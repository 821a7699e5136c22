// constgen: writes the integer constants of C headers as Constants.out records.
#include <iostream>
#include <string>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

#include "Constgen.h"

int main(int argc, char** argv) {
#ifdef _WIN32
    // "-o -" writes CR LF itself; a text-mode stdout would make that CR CR LF.
    _setmode(_fileno(stdout), _O_BINARY);
#endif
    std::vector<std::string> arguments(argv + 1, argv + argc);
    return ConstgenMain(arguments, std::cout, std::cerr);
}
