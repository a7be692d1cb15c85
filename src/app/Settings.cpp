#include "app/Settings.h"

#include <string_view>

#include "app/NumericText.h"
#include "app/RegistryAccess.h"
#include "winsys/Registry.h"

namespace qm {

const char* const SettingsKey = "SOFTWARE\\Quorvana\\Quorvana Saver";

int32_t SpriteCount = 0;
bool TracersOn = false;
int32_t RefreshRate = 0;
bool RateRandom = false;
int32_t SpriteSize = 0;
bool SizeRandom = false;
int32_t SpriteSpeed = 0;
bool SpeedRandom = false;
std::string Email;
std::string Url;
std::string Saver;
std::string Mouse;
std::string Tela;
std::string Senha;
std::string BolasNum;
std::string BolasVel;
std::string TrofeusNum;
std::string TrofeusVel;
std::string TrofeusTipo;
std::string SS03Vel;
std::string SS04Vel;
std::string SS05Vel;

namespace {

constexpr std::string_view kDefaultEmail = "kzt@qv.example";
constexpr std::string_view kDefaultUrl = "http://qv.example/";

std::string Read(const char* name) {
  std::string text;
  RegReadValue(Hive::LocalMachine, SettingsKey, name, text);
  return text;
}

// Each bound applies to the value the previous step left.
int32_t ReadInteger(const char* name, int32_t low, int32_t belowLow, int32_t high) {
  int32_t value = RoundToInt32(LeadingNumber(Read(name)));
  if (value < low) value = belowLow;
  if (value > high) value = high;
  return value;
}

bool ReadBoolean(const char* name, bool whenEmpty) {
  const std::string text = Read(name);
  if (text.empty()) return whenEmpty;
  return text == "TRUE";
}

std::string ReadText(const char* name, std::string_view whenEmpty) {
  std::string text = Read(name);
  if (text.empty()) text = whenEmpty;
  return text;
}

const char* BooleanText(bool value) {
  return value ? "TRUE" : "FALSE";
}

}  // namespace

void LoadSettings() {
  const HeldRegistryReads once;
  SpriteCount = ReadInteger("SpriteCount", 1, 8, 30);
  TracersOn = ReadBoolean("TracersOn", false);
  RefreshRate = ReadInteger("RefreshRate", 1, 100, 100);
  RateRandom = ReadBoolean("RateRandom", false);
  SpriteSize = ReadInteger("SpriteSize", 25, 25, 150);
  SizeRandom = ReadBoolean("SizeRandom", true);
  SpriteSpeed = ReadInteger("SpriteSpeed", 1, 1, 50);
  SpeedRandom = ReadBoolean("SpeedRandom", false);
  Email = ReadText("Email", kDefaultEmail);
  Url = ReadText("Url", kDefaultUrl);
  Saver = ReadText("Saver", "1");
  Mouse = ReadText("Mouse", "0");
  Tela = ReadText("Tela", "0");
  Senha = ReadText("Senha", "1");
  BolasNum = ReadText("BolasNum", "4");
  BolasVel = ReadText("BolasVel", "6");
  TrofeusNum = ReadText("TrofeusNum", "4");
  TrofeusVel = ReadText("TrofeusVel", "5");
  TrofeusTipo = ReadText("TrofeusTipo", "2");
  SS03Vel = ReadText("SS03Vel", "1");
  SS04Vel = ReadText("SS04Vel", "3");
  SS05Vel = ReadText("SS05Vel", "4");
}

std::vector<std::pair<std::string, std::string>> SettingsAsText() {
  return {
      {"SpriteCount", std::to_string(SpriteCount)},
      {"TracersOn", BooleanText(TracersOn)},
      {"RefreshRate", std::to_string(RefreshRate)},
      {"RateRandom", BooleanText(RateRandom)},
      {"SpriteSize", std::to_string(SpriteSize)},
      {"SizeRandom", BooleanText(SizeRandom)},
      {"SpriteSpeed", std::to_string(SpriteSpeed)},
      {"SpeedRandom", BooleanText(SpeedRandom)},
      {"Email", Email},
      {"Url", Url},
      {"Saver", Saver},
      {"Mouse", Mouse},
      {"Tela", Tela},
      {"Senha", Senha},
      {"BolasNum", BolasNum},
      {"BolasVel", BolasVel},
      {"TrofeusNum", TrofeusNum},
      {"TrofeusVel", TrofeusVel},
      {"TrofeusTipo", TrofeusTipo},
      {"SS03Vel", SS03Vel},
      {"SS04Vel", SS04Vel},
      {"SS05Vel", SS05Vel},
  };
}

void SaveSettings() {
  // One change of the settings file for all of them: a saver starting meanwhile reads
  // the old settings or the new, never half of each.
  const HeldRegistryWrites together;
  // The text settings are passed themselves, so one left empty becomes the blank that
  // was stored, in memory too.
  auto write = [](const char* name, std::string& text) {
    RegWriteValue(Hive::LocalMachine, SettingsKey, name, text);
  };
  auto writeCopy = [&](const char* name, std::string text) { write(name, text); };
  writeCopy("SpriteCount", std::to_string(SpriteCount));
  writeCopy("TracersOn", BooleanText(TracersOn));
  writeCopy("RefreshRate", std::to_string(RefreshRate));
  writeCopy("RateRandom", BooleanText(RateRandom));
  writeCopy("SpriteSize", std::to_string(SpriteSize));
  writeCopy("SizeRandom", BooleanText(SizeRandom));
  writeCopy("SpriteSpeed", std::to_string(SpriteSpeed));
  writeCopy("SpeedRandom", BooleanText(SpeedRandom));
  write("Email", Email);
  write("Url", Url);
  write("Saver", Saver);
  write("Mouse", Mouse);
  write("Tela", Tela);
  write("Senha", Senha);
  write("BolasNum", BolasNum);
  write("BolasVel", BolasVel);
  write("TrofeusNum", TrofeusNum);
  write("TrofeusVel", TrofeusVel);
  write("TrofeusTipo", TrofeusTipo);
  write("SS03Vel", SS03Vel);
  write("SS04Vel", SS04Vel);
  write("SS05Vel", SS05Vel);
}

}  // namespace qm
