#include "settings/SettingsFile.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "engine/FileUtils.h"
#include "settings/IniFile.h"
#include "text/TextUtil.h"
#include "text/Translate.h"

namespace {

constexpr int kPriorityItems = 3;
constexpr int kCacheCounts[] = {50, 100, 200, 500, 1000, 2000};
constexpr int kCacheCountItems = int(sizeof kCacheCounts / sizeof kCacheCounts[0]);

int ItemIndex(int index, int items) { return index >= 0 && index < items ? index : -1; }

constexpr int kCompareKinds = int(sizeof kCompareKindNames / sizeof kCompareKindNames[0]);

// The later keys: their text, and the text a file that lacks them stands for.
struct TLaterKey {
    const char* Key;
    std::string (*Value)(const TSettings&);
    const char* Absent;
};
const TLaterKey kLaterKeys[] = {
    {"#Check SHA256", [](const TSettings& s) { return std::string(s.CheckSHA256 ? "1" : "0"); }, "0"},
    {"#Check SHA512", [](const TSettings& s) { return std::string(s.CheckSHA512 ? "1" : "0"); }, "0"},
    {"#Compare kind",
     [](const TSettings& s) {
         return std::string(kCompareKindNames[s.CompareKind >= 0 && s.CompareKind < kCompareKinds ? s.CompareKind : 0]);
     },
     "md5"},
    {"#Lists beside", [](const TSettings& s) { return std::string(s.ListsBeside ? "1" : "0"); }, "1"},
    {kLanguageKey, [](const TSettings& s) { return std::string(kLanguageChoiceNames[int(s.Language)]); }, "auto"},
};

// The keys written at exit, in order, with their texts: the first three, then with
// SaveConfig the rest (else those keep what the file holds).
std::vector<std::pair<std::string, std::string>> SavedValues(const std::string& runningVersion,
                                                             const std::string& copyright,
                                                             const TSettings& s) {
    auto b = [](bool v) -> std::string { return v ? "1" : "0"; };
    auto i = [](int v) { return std::to_string(v); };
    std::vector<std::pair<std::string, std::string>> keys = {
        {"#Version", runningVersion},
        {"#Copyright", copyright},
        {"#Save Config", b(s.SaveConfig)},
    };
    if (s.SaveConfig) {
        keys.insert(keys.end(), {
            {"#Check CRC", b(s.CheckCRC)},
            {"#Check MD5", b(s.CheckMD5)},
            {"#Check SHA1", b(s.CheckSHA1)},
            {"#LogWindow", b(s.LogWindow)},
            {"#strbyl", b(s.StrByL)},
            {"#ByteLen", b(s.ByteLen)},
            {"#not useMD5File", b(s.NotUseMD5File)},
            {"#auto create MD5", b(s.AutoCreateMD5)},
            {"#Use SSTP", b(s.UseSSTP)},
            {"#close_q", b(s.CloseQuery)},
            {"#clearlog", b(s.ClearLog)},
            {"#Use MD5File", b(s.UseMD5File)},
            {"#ShutdownOption", b(s.ShutdownOption)},
            {"#NoSp", b(s.NoSplash)},
            {"#Use FileCache", b(s.UseFileCache)},
            {"#Priority", i(s.Priority)},
            {"#check oldun", b(false)},   // the old-version check runs once
            {"#DeleteCacheFiles", b(s.DeleteCacheFiles)},
            {"#CacheOver", b(s.CacheOver)},
            {"#CacheCount", i(s.CacheCount)},
            {"#BackConfig", b(s.BackConfig)},
            {"#AutoBufferSize", b(s.AutoBufferSize)},
            {"#BufferSize", i(s.BufferSize)},
            {"#SetingMD5", b(s.SetingMD5)},
            {"#UseSound", b(s.UseSound)},
            {"#SoundFile_1", s.SoundFile1},
            {"#SoundFile_2", s.SoundFile2},
            {"#Reloadfile", b(s.ReloadFile)},
        });
        // The later keys go before the closing pair in a new file (an older file has them
        // added after its last key).
        for (const TLaterKey& k : kLaterKeys) {
            const std::string value = k.Value(s);
            const bool held = std::find(s.HeldKeys.begin(), s.HeldKeys.end(), k.Key) != s.HeldKeys.end();
            if (held || value != k.Absent) keys.emplace_back(k.Key, value);
        }
        keys.insert(keys.end(), {{"#Etavr pro section", "00 02 02 05 09 01"}, {"#END", ""}});
        // A list left without a selection read a number outside the list: the file keeps the
        // user's text rather than "-1", which no version of the list ever wrote.
        std::erase_if(keys, [&](const auto& kv) {
            return (kv.first == "#Priority" && s.Priority < 0) || (kv.first == "#CacheCount" && s.CacheCount < 0);
        });
    }
    return keys;
}

}  // namespace

TSettings FirstStartSettings() {
    TSettings s = InitialSettings();
    s.CompareKind = kCompareAutoIndex;
    return s;
}

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
    if (!FileExistsByAge(iniPath)) {
        TLoadResult r;
        r.HelperStarts.push_back({"-O", true});
        return r;
    }
    return LoadSettingsFrom(TIniFile(iniPath).Snapshot(), runningVersion, s);
}

TLoadResult LoadSettingsFrom(const TIniDocument& ini, const std::string& runningVersion, TSettings& s) {
    TLoadResult r;
    r.FileExisted = true;
    const std::string sec = kSettingsSection;
    std::vector<std::string> keys;
    for (const auto& kv : SavedValues("", "", TSettings())) keys.push_back(kv.first);
    for (const TLaterKey& k : kLaterKeys) keys.push_back(k.Key);
    ini.LookUp(sec, keys);   // every key read below is one of them: one pass over the file
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

    s.HeldKeys.clear();
    for (const TLaterKey& k : kLaterKeys)
        if (ini.ValueExists(sec, k.Key)) s.HeldKeys.push_back(k.Key);
    s.CheckSHA256 = ini.ReadBool(sec, "#Check SHA256", false);
    s.CheckSHA512 = ini.ReadBool(sec, "#Check SHA512", false);
    const std::string compare = AsciiCase(ini.ReadString(sec, "#Compare kind", "md5"), false);
    s.CompareKind = 0;
    for (int i = 0; i < kCompareKinds; ++i)
        if (compare == kCompareKindNames[i]) s.CompareKind = i;
    s.ListsBeside = ini.ReadBool(sec, "#Lists beside", true);
    s.Language = ParseLanguageChoice(ini.ReadString(sec, kLanguageKey, "auto")).value_or(TLanguageChoice::Auto);

    if (runningVersion != storedVersion) {
        r.Upgraded = true;
        r.UpgradeText1 = TavFormat(TavTr("SettingsFile", "TavrenneがVersion %1から"), {storedVersion});
        r.UpgradeText2 = TavFormat(TavTr("SettingsFile", "%1へ更新されました"), {runningVersion});
        if (ini.ReadBool(sec, "#BackConfig", false)) r.HelperStarts.push_back({"-D", false});
    }
    if (ini.ReadBool(sec, "#check oldun", true)) r.HelperStarts.push_back({"-O", true});
    return r;
}

void SaveSettings(const std::string& iniPath, const std::string& runningVersion,
                  const std::string& copyright, const TSettings& s) {
    TIniFile(iniPath).WriteStrings(kSettingsSection, SavedValues(runningVersion, copyright, s));
}

void StoreSettings(TIniDocument& ini, const std::string& runningVersion, const std::string& copyright,
                   const TSettings& s) {
    const auto values = SavedValues(runningVersion, copyright, s);
    std::vector<std::string> keys;
    for (const auto& kv : values) keys.push_back(kv.first);
    ini.LookUp(kSettingsSection, keys);
    for (const auto& [key, value] : values) ini.WriteString(kSettingsSection, key, value);
}

int CacheLimit(const TSettings& s) {
    if (!s.CacheOver || s.CacheCount < 0 || s.CacheCount >= kCacheCountItems) return 0;
    return kCacheCounts[s.CacheCount];
}

int BufferSizeKB(const TSettings& s) { return s.AutoBufferSize ? kAutoBufferSizeKB : s.BufferSize; }
