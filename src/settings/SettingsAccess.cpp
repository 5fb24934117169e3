#include "settings/SettingsAccess.h"

#include <algorithm>

#include "engine/FileUtils.h"
#include "platform/Platform.h"

namespace {

TSettingsAccess* g_settings = nullptr;

void PlayIfUsable(bool useSound, const std::string& file) {
    if (useSound && !file.empty() && FileExistsByAge(file)) Platform().PlaySound(QString::fromStdString(file));
}

}  // namespace

int TDefaultSettings::CacheLimit() const {
    static const int kCounts[] = {50, 100, 200, 500, 1000, 2000};
    if (!Values.CacheOver) return 0;
    if (Values.CacheCount < 0 || Values.CacheCount >= int(std::size(kCounts))) return 0;
    return kCounts[Values.CacheCount];
}

int TDefaultSettings::BufferSizeKB() const {
    if (Values.AutoBufferSize) return 64;
    return Values.BufferSize;
}

void TDefaultSettings::PlayFinishSound() { PlayIfUsable(Values.UseSound, Values.SoundFile1); }
void TDefaultSettings::PlayErrorSound() { PlayIfUsable(Values.UseSound, Values.SoundFile2); }

TSettingsAccess& Settings() {
    static TDefaultSettings defaults;
    return g_settings ? *g_settings : defaults;
}

void SetSettings(TSettingsAccess* settings) { g_settings = settings; }
