// The zorvan command-line tool.
#include <string>
#include <vector>

#include "cli/cli_app.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    return cli::Run(args);
}
