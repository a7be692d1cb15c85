// The 22 settings, process-wide, named like their registry values, and the store that
// loads and saves them all at once under HKEY_LOCAL_MACHINE\SOFTWARE\Quorvana\Quorvana Saver.
// Four are integers and four booleans kept only for storage; the rest are texts that
// each user converts where it uses them (see NumericText.h).
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace qm {

extern const char* const SettingsKey;  // "SOFTWARE\Quorvana\Quorvana Saver"

extern int32_t SpriteCount;
extern bool TracersOn;
extern int32_t RefreshRate;
extern bool RateRandom;
extern int32_t SpriteSize;
extern bool SizeRandom;
extern int32_t SpriteSpeed;
extern bool SpeedRandom;
extern std::string Email;
extern std::string Url;
extern std::string Saver;
extern std::string Mouse;
extern std::string Tela;
extern std::string Senha;
extern std::string BolasNum;
extern std::string BolasVel;
extern std::string TrofeusNum;
extern std::string TrofeusVel;
extern std::string TrofeusTipo;
extern std::string SS03Vel;
extern std::string SS04Vel;
extern std::string SS05Vel;

// Reads all 22 values and applies the load rules; a missing key yields all defaults.
// Never fails.
void LoadSettings();
// Writes all 22 values as text; results are not checked.
void SaveSettings();

// The 22 settings as name and stored text, in table order (for --settings).
std::vector<std::pair<std::string, std::string>> SettingsAsText();

}  // namespace qm
