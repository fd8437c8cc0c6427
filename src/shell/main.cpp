#include "shell/cli.h"

int main(int argc, char** argv) {
    return qe::runProgram(argc, argv);
}
