#include "settings/SettingsFile.h"

#include <algorithm>

#include "engine/FileUtils.h"
#include "settings/IniFile.h"

namespace {

constexpr int kPriorityItems = 3;
constexpr int kCacheCounts[] = {50, 100, 200, 500, 1000, 2000};
constexpr int kCacheCountItems = int(sizeof kCacheCounts / sizeof kCacheCounts[0]);

int ItemIndex(int index, int items) { return index >= 0 && index < items ? index : -1; }

}  // namespace

TSettings InitialSettings() {
    TSettings s;
    s.CheckCRC = false;
    s.CheckMD5 = true;
    s.CheckSHA1 = false;
    s.LogWindow = true;
    s.StrByL = false;
    s.ByteLen = s.NotUseMD5File = s.AutoCreateMD5 = s.UseSSTP = s.CloseQuery = s.ClearLog = false;
    s.UseMD5File = false;
    s.ShutdownOption = s.NoSplash = s.UseFileCache = false;
    s.Priority = 0;
    s.DeleteCacheFiles = true;
    s.CacheOver = true;
    s.CacheCount = 0;
    // The shell-integration choice stands at "off" until the options dialog shows the real state.
    s.BackConfig = true;
    s.AutoBufferSize = true;
    s.BufferSize = kAutoBufferSizeKB;
    s.SetingMD5 = true;
    s.UseSound = false;
    s.SoundFile1.clear();
    s.SoundFile2.clear();
    s.ReloadFile = false;
    s.SaveConfig = true;
    return s;
}


TLoadResult LoadSettings(const std::string& iniPath, const std::string& runningVersion,
                         TSettings& s) {
    TLoadResult r;
    if (!FileExistsByAge(iniPath)) {
        r.HelperStarts.push_back({"-O", true});
        return r;
    }
    r.FileExisted = true;
    const TIniFile ini(iniPath);
    const std::string sec = kSettingsSection;
    const std::string storedVersion = ini.ReadString(sec, "#Version", kUnversionedSettings);

    s.CheckCRC = ini.ReadBool(sec, "#Check CRC", false);
    s.CheckMD5 = ini.ReadBool(sec, "#Check MD5", false);
    s.CheckSHA1 = ini.ReadBool(sec, "#Check SHA1", false);
    s.ShutdownOption = ini.ReadBool(sec, "#ShutdownOption", false);
    s.StrByL = ini.ReadBool(sec, "#strbyl", false);
    s.LogWindow = ini.ReadBool(sec, "#LogWindow", true);
    s.ByteLen = ini.ReadBool(sec, "#ByteLen", false);
    s.NotUseMD5File = ini.ReadBool(sec, "#not useMD5File", false);
    s.AutoCreateMD5 = ini.ReadBool(sec, "#auto create MD5", false);
    s.UseSSTP = ini.ReadBool(sec, "#Use SSTP", false);
    s.CloseQuery = ini.ReadBool(sec, "#close_q", false);
    s.ClearLog = ini.ReadBool(sec, "#clearlog", false);
    s.UseMD5File = ini.ReadBool(sec, "#Use MD5File", true);
    s.Priority = ItemIndex(ini.ReadInteger(sec, "#Priority", 0), kPriorityItems);
    s.UseFileCache = ini.ReadBool(sec, "#Use FileCache", false);
    s.NoSplash = ini.ReadBool(sec, "#NoSp", false);
    s.DeleteCacheFiles = ini.ReadBool(sec, "#DeleteCacheFiles", true);
    s.CacheOver = ini.ReadBool(sec, "#CacheOver", true);
    s.SetingMD5 = ini.ReadBool(sec, "#SetingMD5", true);
    s.CacheCount = ItemIndex(ini.ReadInteger(sec, "#CacheCount", 0), kCacheCountItems);

    s.SoundFile1 = ini.ReadString(sec, "#SoundFile_1", "");
    s.SoundFile2 = ini.ReadString(sec, "#SoundFile_2", "");
    s.UseSound = ini.ReadBool(sec, "#UseSound", false);
    s.AutoBufferSize = ini.ReadBool(sec, "#AutoBufferSize", true);
    const int slider = s.AutoBufferSize ? kAutoBufferSizeKB
                                        : ini.ReadInteger(sec, "#BufferSize", kAutoBufferSizeKB);
    s.BufferSize = std::clamp(slider, kMinBufferSizeKB, kMaxBufferSizeKB);

    s.ReloadFile = ini.ReadBool(sec, "#Reloadfile", false);
    s.SaveConfig = ini.ReadBool(sec, "#Save Config", true);

    if (runningVersion != storedVersion) {
        r.Upgraded = true;
        r.UpgradeText1 = "TavrenneがVersion " + storedVersion + "から";
        r.UpgradeText2 = runningVersion + "へ更新されました";
        if (ini.ReadBool(sec, "#BackConfig", false)) r.HelperStarts.push_back({"-D", false});
    }
    if (ini.ReadBool(sec, "#check oldun", true)) r.HelperStarts.push_back({"-O", true});
    return r;
}

void SaveSettings(const std::string& iniPath, const std::string& runningVersion,
                  const std::string& copyright, const TSettings& s) {
    TIniFile ini(iniPath);
    const std::string sec = kSettingsSection;
    ini.WriteString(sec, "#Version", runningVersion);
    ini.WriteString(sec, "#Copyright", copyright);
    ini.WriteBool(sec, "#Save Config", s.SaveConfig);
    if (!s.SaveConfig) return;   // the other keys keep what the file holds

    ini.WriteBool(sec, "#Check CRC", s.CheckCRC);
    ini.WriteBool(sec, "#Check MD5", s.CheckMD5);
    ini.WriteBool(sec, "#Check SHA1", s.CheckSHA1);
    ini.WriteBool(sec, "#LogWindow", s.LogWindow);
    ini.WriteBool(sec, "#strbyl", s.StrByL);
    ini.WriteBool(sec, "#ByteLen", s.ByteLen);
    ini.WriteBool(sec, "#not useMD5File", s.NotUseMD5File);
    ini.WriteBool(sec, "#auto create MD5", s.AutoCreateMD5);
    ini.WriteBool(sec, "#Use SSTP", s.UseSSTP);
    ini.WriteBool(sec, "#close_q", s.CloseQuery);
    ini.WriteBool(sec, "#clearlog", s.ClearLog);
    ini.WriteBool(sec, "#Use MD5File", s.UseMD5File);
    ini.WriteBool(sec, "#ShutdownOption", s.ShutdownOption);
    ini.WriteBool(sec, "#NoSp", s.NoSplash);
    ini.WriteBool(sec, "#Use FileCache", s.UseFileCache);
    ini.WriteInteger(sec, "#Priority", s.Priority);
    ini.WriteBool(sec, "#check oldun", false);   // the old-version check runs once
    ini.WriteBool(sec, "#DeleteCacheFiles", s.DeleteCacheFiles);
    ini.WriteBool(sec, "#CacheOver", s.CacheOver);
    ini.WriteInteger(sec, "#CacheCount", s.CacheCount);
    ini.WriteBool(sec, "#BackConfig", s.BackConfig);
    ini.WriteBool(sec, "#AutoBufferSize", s.AutoBufferSize);
    ini.WriteInteger(sec, "#BufferSize", s.BufferSize);
    ini.WriteBool(sec, "#SetingMD5", s.SetingMD5);
    ini.WriteBool(sec, "#UseSound", s.UseSound);
    ini.WriteString(sec, "#SoundFile_1", s.SoundFile1);
    ini.WriteString(sec, "#SoundFile_2", s.SoundFile2);
    ini.WriteBool(sec, "#Reloadfile", s.ReloadFile);
    ini.WriteString(sec, "#Etavr pro section", "00 02 02 05 09 01");
    ini.WriteString(sec, "#END", "");
}

int CacheLimit(const TSettings& s) {
    if (!s.CacheOver || s.CacheCount < 0 || s.CacheCount >= kCacheCountItems) return 0;
    return kCacheCounts[s.CacheCount];
}

int BufferSizeKB(const TSettings& s) { return s.AutoBufferSize ? kAutoBufferSizeKB : s.BufferSize; }
