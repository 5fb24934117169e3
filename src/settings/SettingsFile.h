// The settings file tavr2.ini: the record of its keys, and loading and saving it.
// The options form and the main window mirror this record in their controls; the command
// line tool reads the same file through LoadSettings.
#pragma once

#include <string>
#include <vector>

#include "settings/Language.h"

class TIniDocument;

inline constexpr const char* kSettingsSection = "Tavrix_2";
// The version a file without "#Version" is taken to come from.
inline constexpr const char* kUnversionedSettings = "2.01";
// The buffer size in KB used while automatic sizing is on.
inline constexpr int kAutoBufferSizeKB = 64;
inline constexpr int kMinBufferSizeKB = 16;
inline constexpr int kMaxBufferSizeKB = 128;

// One field per key; the comment names the control that shows it. List indexes are -1
// when the list has no selection.
struct TSettings {
    // Main window.
    bool CheckCRC = false;         // "#Check CRC"        CheckBox4 "CRC32を取得"
    bool CheckMD5 = false;         // "#Check MD5"        CheckBox5 "MD5を取得"
    bool CheckSHA1 = false;        // "#Check SHA1"       CheckBox6 "SHA-1を取得"
    bool LogWindow = true;         // "#LogWindow"        log list visible (HideLogAtShow is its opposite)
    bool StrByL = false;           // "#strbyl"           Action17 "書式->L " checked (upper case)
    // Options form.
    bool ByteLen = false;          // "#ByteLen"          CheckBox2
    bool NotUseMD5File = false;    // "#not useMD5File"   CheckBox3
    bool AutoCreateMD5 = false;    // "#auto create MD5"  CheckBox4
    bool UseSSTP = false;          // "#Use SSTP"         CheckBox5
    bool CloseQuery = false;       // "#close_q"          CheckBox6
    bool ClearLog = false;         // "#clearlog"         CheckBox7
    bool UseMD5File = true;        // "#Use MD5File"      CheckBox8
    bool ShutdownOption = false;   // "#ShutdownOption"   CheckBox9, and the main window's CheckBox7 visible
    bool NoSplash = false;         // "#NoSp"             CheckBox14
    bool UseFileCache = false;     // "#Use FileCache"    CheckBox10
    int Priority = 0;              // "#Priority"         ComboBox1: 0 普通, 1 高い, 2 低い
    bool DeleteCacheFiles = true;  // "#DeleteCacheFiles" CheckBox11
    bool CacheOver = true;         // "#CacheOver"        CheckBox12
    int CacheCount = 0;            // "#CacheCount"       ComboBox2: 50 100 200 500 1000 2000
    bool BackConfig = false;       // "#BackConfig"       RadioGroup1 at "シェル統合を無効" (written only)
    bool AutoBufferSize = true;    // "#AutoBufferSize"   CheckBox18
    int BufferSize = 64;           // "#BufferSize"       slider QL_Bar1, KB
    bool SetingMD5 = true;         // "#SetingMD5"        CheckBox1
    bool UseSound = false;         // "#UseSound"         CheckBox20
    std::string SoundFile1;        // "#SoundFile_1"      LabeledEdit1 (作業終了時)
    std::string SoundFile2;        // "#SoundFile_2"      LabeledEdit2 (エラー発生時)
    bool ReloadFile = false;       // "#Reloadfile"       CheckBox19
    bool SaveConfig = true;        // "#Save Config"      CheckBox21
    // Later keys: a file without them means what the program did before they came, and they
    // are written only when they say something else or the file already holds them.
    bool CheckSHA256 = false;      // "#Check SHA256"     CheckBox8 "SHA-256を取得"
    bool CheckSHA512 = false;      // "#Check SHA512"     CheckBox9 "SHA-512を取得"
    int CompareKind = 0;           // "#Compare kind"     ComboBox1: kCompareKindNames, by index
    bool ListsBeside = true;       // "#Lists beside"     CheckBox22 (追加設定)
    TLanguageChoice Language = TLanguageChoice::Auto;   // "#Language" ComboBox4 "表示言語" (基本設定): auto, ja, en
    std::vector<std::string> HeldKeys;   // the later keys the loaded file held

    bool operator==(const TSettings&) const = default;
};

// The main window's comparison list: "md5", "sha1", "crc32", "sha256", "sha512" (the digest
// kinds' values), then "auto": the kind follows the value's length.
inline constexpr int kCompareAutoIndex = 5;
inline constexpr const char* kCompareKindNames[] = {"md5", "sha1", "crc32", "sha256", "sha512", "auto"};

// The states of the controls before anything is loaded: what a start without a settings
// file keeps. They differ from the per-key defaults: MD5 on, the MD5-file use off, and
// "#BackConfig" true (its radio group starts at "シェル統合を無効").
TSettings InitialSettings();
// What a start without a settings file puts in place once loading found none: the initial
// states, but comparing by the value's length (a file written before keeps MD5, as it lacks
// the key).
TSettings FirstStartSettings();

// A start of the maintenance helper that loading asks for; the caller starts it.
struct THelperStart {
    std::string Argument;         // "-O" or "-D"
    bool OnlyIfHelperExists;      // "-O" is skipped without the helper; "-D" is tried anyway
    bool operator==(const THelperStart&) const = default;
};

struct TLoadResult {
    bool FileExisted = false;     // false: nothing was read and the record is unchanged
    bool Upgraded = false;        // the stored version differs from the running one
    std::string UpgradeText1;     // "TavrenneがVersion 2.01から"
    std::string UpgradeText2;     // "2.46へ更新されました"
    std::vector<THelperStart> HelperStarts;   // in the order they are to be made
};

// Reads the file, once, into `settings`. Missing or malformed values take the key's default;
// the slider is clamped to 16..128 (64 while automatic sizing is on) and a list index outside
// its list becomes -1.
TLoadResult LoadSettings(const std::string& iniPath, const std::string& runningVersion,
                         TSettings& settings);
// The same over a file's content already read.
TLoadResult LoadSettingsFrom(const TIniDocument& ini, const std::string& runningVersion, TSettings& settings);

// Writes "#Version", "#Copyright" and "#Save Config", then, with SaveConfig on, the other
// keys in their fixed order, in one read and one write of the file. A value that reads as
// the file holds it keeps its bytes, and a list without a selection (-1) writes nothing, so
// an index outside its list stays as the user wrote it. When the file cannot be written it holds the keys
// before the one that failed, and EIniWriteError (IniFile.h) is thrown.
void SaveSettings(const std::string& iniPath, const std::string& runningVersion,
                  const std::string& copyright, const TSettings& settings);
// What SaveSettings writes, written into a document in memory.
void StoreSettings(TIniDocument& ini, const std::string& runningVersion, const std::string& copyright,
                   const TSettings& settings);

// 0 when the limit is off or no count is selected; else 50, 100, 200, 500, 1000 or 2000.
int CacheLimit(const TSettings& settings);
// 64 while automatic sizing is on, else the slider.
int BufferSizeKB(const TSettings& settings);
