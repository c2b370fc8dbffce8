// wox: the Wox interpreter in a terminal.
#include <cstdio>

#include "engine/interpreter.h"
#include "line_editor.h"

int main(int argc, char** argv) {
    (void)argv;
    wox::Interpreter interp;
    if (!interp.ws.region.ok()) {
        std::fprintf(stderr, "wox: cannot reserve the workspace heap\n");
        return 1;
    }
    if (argc > 1) {
        std::fprintf(stderr, "wox: loading workspace files is not available yet\n");
        return 2;
    }
    std::printf("WOX version %s\n      the session is not ready yet\n", WOX_VERSION_TEXT);
    return 0;
}
