// Scene "5": the tournament's match table, one page per step, read afresh from
// tabela.ini beside the program so that an edit shows the next time its page comes round.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "app/NumericText.h"
#include "app/mSSaver.h"
#include "matchtable/Module2.h"
#include "saver/frmSSaver.h"
#include "winsys/Host.h"
#include "winsys/Random.h"

namespace qm {

namespace {

// One page of the table: which section it reads, its background cell, which matches go
// into which consecutive rows (every other row is emptied) and which separators go.
struct TablePageLayout {
  const char* Section;
  int BackgroundCell;
  int FirstMatch;
  int FirstRow;
  int MatchCount;
  uint8_t HiddenSeparators;  // bit k hides Line1(k)
};

constexpr uint8_t kNoSeparators = 0x1F;

constexpr std::array<TablePageLayout, 14> kTablePages = {{
    {"A", 0, 1, 0, 6, 0},
    {"B", 1, 1, 0, 6, 0},
    {"C", 2, 1, 0, 6, 0},
    {"D", 3, 1, 0, 6, 0},
    {"E", 0, 1, 0, 6, 0},
    {"F", 1, 1, 0, 6, 0},
    {"G", 2, 1, 0, 6, 0},
    {"H", 3, 1, 0, 6, 0},
    {"Oitavas", 0, 1, 1, 4, 0x01 | 0x10},
    {"Oitavas", 2, 5, 1, 4, 0x01 | 0x10},
    {"Quartas", 1, 1, 1, 4, 0x01 | 0x10},
    {"Semifinais", 2, 1, 1, 2, 0x01 | 0x04 | 0x08 | 0x10},
    {"3\xBA Lugar", 3, 1, 1, 1, kNoSeparators},  // 0xBA: the ordinal sign in Windows-1252
    {"Final", 4, 1, 3, 1, kNoSeparators},
}};

// The emblem's fixed size; the preview places it by these, not by the control's size.
constexpr int kEmblemWidth = 50;
constexpr int kEmblemHeight = 62;
// The panel keeps this much distance from the window's left and top edges.
constexpr int kPanelMargin = 70;

// The window's pixel size as the scenes see it: its size in twips over 15.
int PixelsOf(float twips) {
  return static_cast<int>(twips / 15.0f);
}

// floor(span * r): r in [0, 1), span possibly negative on a window too small.
int RandomOffset(int span) {
  return static_cast<int>(Floor(static_cast<double>(span) * static_cast<double>(Rnd())));
}

// The picture box shows a copy of the cell: a view would dangle if the sheet were
// replaced, and a copy every few seconds costs nothing.
PicturePtr CopyCell(const PictureView& cell) {
  if (cell.Empty()) return nullptr;
  auto picture = std::make_shared<Picture>(cell.Width, cell.Height);
  const auto width = static_cast<size_t>(cell.Width);
  for (size_t y = 0; y < static_cast<size_t>(cell.Height); ++y) {
    std::copy_n(cell.Data + y * static_cast<size_t>(cell.Stride), width,
                picture->Pixels.data() + y * width);
  }
  return picture;
}

// Formed for every read, so a program folder that changes (tests) is honoured too.
std::string TablePath() {
  return Host().ProgramFolder() + "\\tabela.ini";
}

}  // namespace

void frmSSaver::ShowMatchTable() {
  const int windowWidth = PixelsOf(Width());
  const int windowHeight = PixelsOf(Height());

  if (RunMode == kRunModePreview) {
    Image1.Visible = true;
    Image1.Left = RandomOffset(windowWidth - kEmblemWidth);
    Image1.Top = RandomOffset(windowHeight - kEmblemHeight);
    return;
  }

  Randomize();
  picTabela.Visible = false;
  for (Line& separator : Line1) separator.Visible = true;

  const int pageIndex =
      (TablePage >= 0 && TablePage < static_cast<int>(kTablePages.size())) ? TablePage : 0;
  const TablePageLayout& page = kTablePages[static_cast<size_t>(pageIndex)];
  TableSection = page.Section;

  picTabela.Left = RandomOffset(windowWidth - picTabela.Width - kPanelMargin) + kPanelMargin;
  picTabela.Top = RandomOffset(windowHeight - picTabela.Height - kPanelMargin) + kPanelMargin;
  picTabela.Visible = true;
  picTabela.Picture = CopyCell(PictureClip3.GraphicCell(page.BackgroundCell));

  for (size_t row = 0; row < lblJogo01.size(); ++row) {
    const int r = static_cast<int>(row);
    if (r < page.FirstRow || r >= page.FirstRow + page.MatchCount) {
      lblJogo01Dia[row].Caption.clear();
      lblJogo01[row].Caption.clear();
    }
  }
  for (size_t k = 0; k < Line1.size(); ++k) {
    if (page.HiddenSeparators & (1u << k)) Line1[k].Visible = false;
  }
  lblGrupo.Caption = TableSection;

  for (int i = 0; i < page.MatchCount; ++i) {
    const size_t row = static_cast<size_t>(page.FirstRow + i);
    const std::string key = "JOGO0" + std::to_string(page.FirstMatch + i);
    lblJogo01Dia[row].Caption = ReadIniValue(TableSection, key + "DIA", "", TablePath());
    lblJogo01[row].Caption = ReadIniValue(TableSection, key, "", TablePath());
  }

  TablePage = static_cast<int16_t>(pageIndex + 1);
  if (TablePage > 13) TablePage = 0;
}

}  // namespace qm
