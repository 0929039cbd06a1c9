// platter-inspect: builds the model of a library file exactly as Platter does and prints a
// JSON report of it. A developer and support tool; Platter itself has no command line.

#include "tools/inspect/headless_app.h"
#include "tools/inspect/library_report.h"

#include <chrono>
#include <cstdio>
#include <iostream>
#include <string>

namespace {

int usage() {
    std::cerr << "usage: platter-inspect LIBRARY\n"
                 "  Prints a JSON report of the library file's songs, albums, artists and playlists,\n"
                 "  then the time the build took on standard error.\n";
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2 || std::string(argv[1]) == "--help") return usage();
    const auto start = std::chrono::steady_clock::now();
    platter::HeadlessApp headless(argv[1]);
    const auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (!headless.ready()) {
        std::cerr << "platter-inspect: " << argv[1] << " is not a readable, non-empty library file\n";
        return 1;
    }
    std::cout << platter::libraryReport(headless.app()).dump(2) << std::endl;
    std::fprintf(stderr, "build: %.3f s\n", seconds);
    return 0;
}
