// The generator's own copies of the stb writers and the font rasterizer: it is a host
// tool, separate from the program, so it compiles them here.
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>
#define STB_TRUETYPE_IMPLEMENTATION
#include <stb_truetype.h>
