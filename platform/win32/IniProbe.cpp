// Answers every query of a profile-file corpus with qm::ReadIniValue, one line each, so
// that the same queries can be put to two readers and their answers compared byte for
// byte: built natively it asks the portable reader, built for Windows it asks
// GetPrivateProfileStringA (through the Windows ReadIniValue).
//
//   ini_probe <corpus folder as the reader spells paths> <queries.tsv> <separator>
//
// queries.tsv: file, section, key and default text separated by tabs; "\xHH" stands for
// one byte so the file itself stays plain ASCII; lines starting with '#' are skipped.
// Output bytes outside printable ASCII are written as \xHH.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "matchtable/Module2.h"

namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string Unescape(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 3 < text.size() && text[i + 1] == 'x' &&
        HexDigit(text[i + 2]) >= 0 && HexDigit(text[i + 3]) >= 0) {
      out += static_cast<char>(HexDigit(text[i + 2]) * 16 + HexDigit(text[i + 3]));
      i += 3;
    } else {
      out += text[i];
    }
  }
  return out;
}

std::string Escape(const std::string& bytes) {
  std::string out;
  for (unsigned char c : bytes) {
    if (c >= 0x20 && c < 0x7f && c != '\\') {
      out += static_cast<char>(c);
    } else {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02x", c);
      out += hex;
    }
  }
  return out;
}

std::vector<std::string> SplitTabs(const std::string& line) {
  std::vector<std::string> fields(1);
  for (char c : line) {
    if (c == '\t')
      fields.emplace_back();
    else if (c != '\r')
      fields.back() += c;
  }
  return fields;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::cerr << "usage: ini_probe <corpus folder> <queries.tsv> <path separator>\n";
    return 2;
  }
  const std::string folder = argv[1];
  const std::string separator = argv[3];
  std::ifstream queries(argv[2], std::ios::binary);
  if (!queries) {
    std::cerr << "ini_probe: cannot read " << argv[2] << "\n";
    return 2;
  }
  std::string line;
  int lineNo = 0;
  int answered = 0;
  while (std::getline(queries, line)) {
    ++lineNo;
    if (line.empty() || line[0] == '#') continue;
    std::vector<std::string> f = SplitTabs(line);
    if (f.size() < 3 || f.size() > 4) {
      std::cerr << "ini_probe: line " << lineNo << " needs 3 or 4 tab-separated fields\n";
      return 2;
    }
    f.resize(4);
    const std::string answer =
        qm::ReadIniValue(Unescape(f[1]), Unescape(f[2]), Unescape(f[3]), folder + separator + f[0]);
    std::cout << f[0] << " [" << f[1] << "] " << f[2] << " (" << f[3] << ") => \"" << Escape(answer)
              << "\"\n";
    ++answered;
  }
  std::cerr << "ini_probe: " << answered << " queries answered\n";
  return answered > 0 ? 0 : 1;
}
