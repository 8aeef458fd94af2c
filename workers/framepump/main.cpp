// framepump ADDRESS PORT PATH FRAMEFILE — pulls a local server's stream into a frame file
#include <cstdio>

int main(int argc, char*[])
{
    if (argc < 5) {
        std::fprintf(stderr, "usage: framepump ADDRESS PORT PATH FRAMEFILE\n");
        return 1;
    }
    std::fprintf(stderr, "framepump: streaming is not available in this build\n");
    return 1;
}
