#include "shell/Launcher.h"

int main(int argc, char** argv) {
    return quorvane::Launcher::main(argc, argv, QUORVANE_APPLICATION_MODULE);
}
