// Whether files named in the system's 8-bit code page are found by the code that looks
// them up through std::filesystem: a banner picture whose name has an en dash (0x96 in
// Windows-1252), and the shut-down screens in a Windows folder whose name has a euro
// sign (0x80). Makes both under the folder given (through the "A" functions, which read
// names in that code page, as GetPrivateProfileStringA and the registry hand them over),
// then prints one line each: "picture loaded" or "picture missing", "screens installed"
// or "screens missing". Meant for a Western code page, where these bytes are letters.
//
//   quill_ansi_probe <empty folder>
#include <windows.h>

#include <cstdio>
#include <string>

#include "../../tests/banners/TestPictures.h"
#include "setup/TelasWin95.h"
#include "winsys/DrivePath.h"
#include "winsys/PictureLoader.h"

namespace {

bool WriteBytes(const std::string& path, const std::string& bytes) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const BOOL ok =
      WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
  return ok && written == bytes.size();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: quill_ansi_probe <empty folder>\n");
    return 2;
  }
  const std::string root = argv[1];

  const std::string banner = root +
                             "\\Copa\x96"
                             "98.bmp";
  if (!WriteBytes(banner, qm::testing::SolidBmp(1, 1, qm::Rgb(255, 0, 0))))
    std::fprintf(stderr, "cannot write the picture\n");
  const qm::PictureLoad loaded = qm::LoadPictureFile(qm::HostPath(banner));
  std::printf("%s\n", loaded.Picture ? "picture loaded" : "picture missing");

  const std::string windows = root + "\\W\x80ndows";
  if (!CreateDirectoryA(windows.c_str(), nullptr)) std::fprintf(stderr, "cannot make W?ndows\n");
  WriteBytes(windows + "\\logos.kzt", "themed");
  qm::WindowsFolder = windows + "\\";
  qm::TelasWin95(1);
  const DWORD installed = GetFileAttributesA((windows + "\\logos.sys").c_str());
  std::printf("%s\n",
              installed != INVALID_FILE_ATTRIBUTES ? "screens installed" : "screens missing");
  return 0;
}
