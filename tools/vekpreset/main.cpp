#include <cstdio>

int main()
{
    std::fprintf(stderr, "vekpreset: not built yet\n");
    return 2;
}
