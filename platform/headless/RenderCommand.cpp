// --render SCENE --size WxH --steps N --out DIR [--preview]: runs one scene on the
// virtual clock and writes one PNG per scene step, without a display.
#include <stb_image_write.h>

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <new>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "headless/Cli.h"
#include "headless/Runner.h"
#include "headless/SceneOverlay.h"
#include "winsys/Registry.h"
#include "winsys/RegistryFile.h"

namespace qm::headless {
namespace {

constexpr const char* kUsage =
    "usage: quillmark --render SCENE(1-5) --size WxH --steps N --out DIR [--preview]\n";

std::optional<int> PositiveInt(std::string_view text, int max) {
  int value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size() || value < 1 || value > max) {
    return std::nullopt;
  }
  return value;
}

struct RenderArgs {
  std::string scene;
  int width = 0;
  int height = 0;
  int steps = 0;
  std::string out;
  bool preview = false;
};

// The arguments, or in `problem` what is wrong with them, for one line on stderr.
std::optional<RenderArgs> Parse(const std::vector<std::string>& args, std::string& problem) {
  if (args.empty()) {
    problem = "--render needs a scene, 1 to 5";
    return std::nullopt;
  }
  RenderArgs r;
  r.scene = args[0];
  if (r.scene.size() != 1 || r.scene[0] < '1' || r.scene[0] > '5') {
    problem = "the scene is 1 to 5, not \"" + r.scene + "\"";
    return std::nullopt;
  }
  bool size = false, steps = false, out = false;
  for (size_t i = 1; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--preview") {
      r.preview = true;
      continue;
    }
    if (a != "--size" && a != "--steps" && a != "--out") {
      problem = "unknown option \"" + a + "\"";
      return std::nullopt;
    }
    if ((a == "--size" && size) || (a == "--steps" && steps) || (a == "--out" && out)) {
      problem = a + " is given twice";
      return std::nullopt;
    }
    if (i + 1 >= args.size()) {
      problem = a + " needs a value";
      return std::nullopt;
    }
    const std::string& v = args[++i];
    if (a == "--size") {
      const size_t x = v.find_first_of("xX");
      const auto w = x == std::string::npos ? std::nullopt
                                            : PositiveInt(std::string_view(v).substr(0, x), 16384);
      const auto h = x == std::string::npos ? std::nullopt
                                            : PositiveInt(std::string_view(v).substr(x + 1), 16384);
      if (!w || !h) {
        problem = "--size is WxH, each 1 to 16384, not \"" + v + "\"";
        return std::nullopt;
      }
      r.width = *w;
      r.height = *h;
      size = true;
    } else if (a == "--steps") {
      const auto n = PositiveInt(v, 1000000);
      if (!n) {
        problem = "--steps is a whole number from 1 to 1000000, not \"" + v + "\"";
        return std::nullopt;
      }
      r.steps = *n;
      steps = true;
    } else {
      if (v.empty()) {
        problem = "--out needs a folder";
        return std::nullopt;
      }
      r.out = v;
      out = true;
    }
  }
  for (const auto& [given, name] :
       {std::pair{size, "--size"}, std::pair{steps, "--steps"}, std::pair{out, "--out"}}) {
    if (!given) {
      problem = std::string(name) + " is missing";
      return std::nullopt;
    }
  }
  return r;
}

// tabela.ini and kzt.ini are looked for beside the program, as in a real run.
std::string ExecutableFolder() {
  std::error_code ec;
  const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (!ec && exe.has_parent_path()) return exe.parent_path().string();
  return std::filesystem::current_path(ec).string();
}

// Opens a frame's file for writing, or says why not. Only a regular file (or none) may
// stand there: a named pipe would hold the render until some reader came along, and a
// device is no frame.
std::FILE* OpenFrameFile(const std::filesystem::path& path, std::string& why) {
#ifdef _WIN32
  std::FILE* file = std::fopen(path.string().c_str(), "wb");
  if (!file) why = std::strerror(errno);
  return file;
#else
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_NONBLOCK | O_CLOEXEC, 0666);
  if (fd < 0) {
    why = errno == ENXIO ? "not a regular file" : std::strerror(errno);
    return nullptr;
  }
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    why = "not a regular file";
    ::close(fd);
    return nullptr;
  }
  std::FILE* file = nullptr;
  if (::ftruncate(fd, 0) != 0 || ::fcntl(fd, F_SETFL, 0) != 0 ||
      (file = ::fdopen(fd, "wb")) == nullptr) {
    why = std::strerror(errno);
    ::close(fd);
  }
  return file;
#endif
}

// Writes one frame as a PNG file; nullopt when written, else what went wrong. The image
// is encoded in memory first, so that want of memory and a refused write are told apart
// and a frame that could not be encoded leaves no file behind.
std::optional<std::string> WritePng(const std::filesystem::path& path, const Picture& frame) {
  std::vector<unsigned char> rgb(static_cast<size_t>(frame.Width) * frame.Height * 3);
  for (size_t i = 0; i < frame.Pixels.size(); ++i) {
    const Pixel p = frame.Pixels[i];
    rgb[3 * i] = static_cast<unsigned char>(p >> 16);
    rgb[3 * i + 1] = static_cast<unsigned char>(p >> 8);
    rgb[3 * i + 2] = static_cast<unsigned char>(p);
  }
  // The encoder's allocations throw when memory runs out (see StbImpl.cpp), and so may
  // the growing of the encoded bytes.
  std::vector<unsigned char> png;
  const auto append = [](void* context, void* data, int size) {
    auto* out = static_cast<std::vector<unsigned char>*>(context);
    const auto* first = static_cast<const unsigned char*>(data);
    out->insert(out->end(), first, first + size);
  };
  bool encoded = false;
  try {
    encoded = stbi_write_png_to_func(append, &png, frame.Width, frame.Height, 3, rgb.data(),
                                     frame.Width * 3) != 0;
  } catch (const std::bad_alloc&) {
    encoded = false;
  }
  if (!encoded) return "not enough memory to write " + path.string();
  // A frame cut short is removed where it was written: through a symbolic link that
  // is the file the link points to (the link itself is no frame).
  std::error_code ec;
  std::filesystem::path written = path;
  if (std::filesystem::is_symlink(path, ec)) {
    written = std::filesystem::weakly_canonical(path, ec);
    if (ec) written = path;
  }
  std::string why;
  std::FILE* file = OpenFrameFile(path, why);
  if (!file) return "cannot write " + path.string() + ": " + why;
  const bool whole = std::fwrite(png.data(), 1, png.size(), file) == png.size();
  const int error = whole ? 0 : errno;
  if (std::fclose(file) != 0 || !whole) {
    const int reason = whole ? errno : error;
    std::filesystem::remove(written, ec);
    return "cannot write " + path.string() + ": " + std::strerror(reason);
  }
  return std::nullopt;
}

}  // namespace

int RenderCommand(const std::vector<std::string>& args) {
  std::string problem;
  const auto parsed = Parse(args, problem);
  if (!parsed) {
    std::fprintf(stderr, "quillmark: %s\n", problem.c_str());
    std::fputs(kUsage, stderr);
    return 2;
  }
  const RenderArgs& a = *parsed;
  std::error_code ec;
  std::filesystem::create_directories(a.out, ec);
  if (ec || !std::filesystem::is_directory(a.out, ec)) {
    const std::string why = ec ? ec.message() : "a file of that name is in the way";
    std::fprintf(stderr, "quillmark: cannot make the folder %s: %s\n", a.out.c_str(), why.c_str());
    return 1;
  }

  RegistryBackend* previous = &Registry();
  RegistryFile store(DefaultRegistryPath());
  SceneOverlay overlay(store, a.scene);
  SetRegistry(&overlay);

  int result = 0;
  // A large size may ask for more memory than there is (16384 x 16384 takes several
  // gigabytes): that ends the render with a message, not an abort.
  try {
    Runner runner({.width = a.width, .height = a.height, .preview = a.preview});
    runner.Host().programFolder = ExecutableFolder();
    runner.Load();
    for (int step = 1; step <= a.steps; ++step) {
      if (runner.RunTimer1Ticks(1) != 1) {
        std::fprintf(stderr, "quillmark: the scene timer stopped after %d step%s\n", step - 1,
                     step - 1 == 1 ? "" : "s");
        result = 1;
        break;
      }
      char name[32];
      std::snprintf(name, sizeof name, "step-%04d.png", step);
      if (const auto failure = WritePng(std::filesystem::path(a.out) / name, runner.Frame())) {
        std::fprintf(stderr, "quillmark: %s\n", failure->c_str());
        result = 1;
        break;
      }
    }
  } catch (const std::bad_alloc&) {
    std::fprintf(stderr, "quillmark: not enough memory to render at %dx%d\n", a.width, a.height);
    result = 1;
  }
  SetRegistry(previous);
  return result;
}

}  // namespace qm::headless
