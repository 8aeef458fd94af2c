// clipworker URL FRAMEFILE [OPTION [OPTION]]  — plays one stream into a frame file
// clipworker export URL MUX DURATION_MS DESTINATION — copies a stream into a file
#include <cstdio>
#include <cstring>

int main(int argc, char* argv[])
{
    const bool exportMode = argc > 1 && std::strcmp(argv[1], "export") == 0;
    if (argc < 2 || (exportMode && argc < 6) || (!exportMode && argc < 3)) {
        std::fprintf(stderr, "usage: clipworker URL FRAMEFILE [OPTION [OPTION]]\n"
                             "       clipworker export URL MUX DURATION_MS DESTINATION\n");
        return 1;
    }
    std::fprintf(stderr, "clipworker: playback and export are not available in this build\n");
    return 1;
}
