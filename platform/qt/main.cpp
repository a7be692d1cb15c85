// quillmark: the Linux program. Options that need no display are answered before Qt
// starts; everything else is the screen saver's command line.
#include <cstdio>

int main(int, char**) { return 0; }
