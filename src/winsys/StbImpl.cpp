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

// Every block the picture decoder allocates starts zeroed (a block it grows is written
// before it is read). A progressive JPEG's
// coefficients are kept in a block that only the file's scans write: a file that never
// codes some of them (a refinement scan with no first scan before it, a scan left out)
// would otherwise show whatever the memory held, and decode differently from run to
// run. Zero is what a coefficient no scan coded stands for.
#include <cstdlib>
#define STBI_MALLOC(size) std::calloc(1, size)
#define STBI_REALLOC(p, size) std::realloc(p, size)
#define STBI_FREE(p) std::free(p)
#define STB_IMAGE_IMPLEMENTATION
#include <stb_image.h>

// Label text (winsys/Text.cpp) and the PNG frames of --render.
#define STB_TRUETYPE_IMPLEMENTATION
#include <stb_truetype.h>

// The PNG writer grows its buffers with realloc and, when that fails, goes on writing
// into the old, smaller block (its check is an assert, gone from a release build). A
// failed allocation throws instead, for the caller to report want of memory. The
// blocks the writer held then are not freed: its callers end the program after such a
// failure (--render does).
#include <new>
namespace qm_stbiw {
inline void* Allocate(size_t size) {
  void* block = std::malloc(size);
  if (!block && size != 0) throw std::bad_alloc();
  return block;
}
inline void* Reallocate(void* old, size_t size) {
  void* block = std::realloc(old, size);
  if (!block && size != 0) throw std::bad_alloc();
  return block;
}
}  // namespace qm_stbiw
#define STBIW_MALLOC(size) qm_stbiw::Allocate(size)
#define STBIW_REALLOC(p, size) qm_stbiw::Reallocate(p, size)
#define STBIW_FREE(p) std::free(p)
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>

#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif
