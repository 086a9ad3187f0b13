#pragma once
// The translations of perch and perch-board: none in the written mode (the
// texts as written, Qt's own in English), the English or the Chinese
// translation of our texts otherwise, and for Chinese Qt's own dialog texts
// in Chinese too.

#include "companion/LanguageMode.h"

class QString;

namespace perch {

class TSettingsFile;

// The mode in config.ini; written when the key is absent or unknown.
TLanguageMode ReadLanguageMode(const TSettingsFile& settings);

// Replaces the translators installed by an earlier call with those of the
// mode. Needs the application object. A translation that cannot be loaded
// is told on stderr and its texts stay as written.
void InstallTranslations(TLanguageMode mode);

}  // namespace perch
