#include "app/SettingsAccess.h"

#include <QString>
#include <iterator>

#include "engine/FileUtils.h"
#include "platform/Platform.h"
#include "app/SystemProbe.h"

namespace {

TSettingsAccess* g_settings = nullptr;

}  // namespace

void PlaySoundFile(bool useSound, const std::string& file) {
    if (useSound && !file.empty() && FileExistsByAge(file)) Platform().PlaySound(QString::fromStdString(file));
}

void ApplyPriorityItem(int index) {
    static const uint32_t kClasses[] = {pcNormal, pcHigh, pcIdle};
    if (index < 0 || index >= int(std::size(kClasses))) return;
    TSystemProbe().SetPriorityClass(kClasses[index]);
}

void TRecordSettings::PlayFinishSound() { PlaySoundFile(Values.UseSound, Values.SoundFile1); }
void TRecordSettings::PlayErrorSound() { PlaySoundFile(Values.UseSound, Values.SoundFile2); }
void TRecordSettings::ApplyPriority() { ApplyPriorityItem(Values.Priority); }

TSettingsAccess& Settings() {
    static TRecordSettings initial(InitialSettings());
    return g_settings ? *g_settings : initial;
}

void SetSettings(TSettingsAccess* settings) { g_settings = settings; }
