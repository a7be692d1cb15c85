// The artwork generator: draws every picture the program carries and writes each as a
// PNG into the folder given, with the icon also as a transparent PNG for desktop menus;
// with --sheet also writes the labelled contact sheet.
//
//   quill_artgen <font folder> <output folder> [--sheet <contact sheet .png>]
#include <cstdio>
#include <cstring>
#include <string>

#include "Art.h"
#include "Font.h"

int main(int argc, char** argv) {
  if (argc != 3 && !(argc == 5 && std::strcmp(argv[3], "--sheet") == 0)) {
    std::fprintf(stderr, "usage: %s <font folder> <output folder> [--sheet <file.png>]\n", argv[0]);
    return 2;
  }
  if (!art::InitFonts(argv[1])) return 1;
  const std::string out = argv[2];
  const auto pictures = art::AllPictures();
  bool ok = true;
  for (const auto& p : pictures) ok = art::WritePng(out + "/" + p.file, p.picture) && ok;
  ok = art::WriteDesktopIcon(out + "/quillmark-icon.png", pictures) && ok;
  if (argc == 5) ok = art::WritePng(argv[4], art::ContactSheet(pictures)) && ok;
  return ok ? 0 : 1;
}
