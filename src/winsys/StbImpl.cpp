// The one translation unit that compiles stb_image's implementation (Debian's
// libstb-dev ships only the header). Other single-file stb libraries the program needs
// get their implementation defines here as well, so each is compiled exactly once.
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wall"
#pragma GCC diagnostic ignored "-Wextra"
#pragma GCC diagnostic ignored "-Wpedantic"
#pragma GCC diagnostic ignored "-Wshadow"
#endif

#define STB_IMAGE_IMPLEMENTATION
#include <stb_image.h>

// Label text (winsys/Text.cpp) and the PNG frames of --render.
#define STB_TRUETYPE_IMPLEMENTATION
#include <stb_truetype.h>
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>

#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif
