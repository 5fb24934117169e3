// What the rest of the program asks about the user's settings. The options form answers
// these from its controls once it exists; until then TDefaultSettings answers with the
// values a missing key gives.
#pragma once

#include <string>

// The values behind the answers, named after their keys in tavr2.ini.
struct TSettingsValues {
    bool ByteLen = false;           // "#ByteLen"
    bool NotUseMD5File = false;     // "#not useMD5File"
    bool AutoCreateMD5 = false;     // "#auto create MD5"
    bool UseSSTP = false;           // "#Use SSTP"
    bool CloseQuery = false;        // "#close_q"
    bool ClearLog = false;          // "#clearlog"
    bool UseMD5File = true;         // "#Use MD5File"
    bool ShutdownOption = false;    // "#ShutdownOption"
    bool NoSplash = false;          // "#NoSp"
    bool UseFileCache = false;      // "#Use FileCache"
    int Priority = 0;               // "#Priority": 0 normal, 1 high, 2 idle
    bool DeleteCacheFiles = true;   // "#DeleteCacheFiles"
    bool CacheOver = true;          // "#CacheOver"
    int CacheCount = 0;             // "#CacheCount": index into 50, 100, 200, 500, 1000, 2000
    bool AutoBufferSize = true;     // "#AutoBufferSize"
    int BufferSize = 64;            // "#BufferSize", KB, 16 to 128
    bool UseSound = false;          // "#UseSound"
    std::string SoundFile1;         // "#SoundFile_1": end of work
    std::string SoundFile2;         // "#SoundFile_2": error
    bool Reloadfile = false;        // "#Reloadfile"
};

class TSettingsAccess {
public:
    virtual ~TSettingsAccess() = default;

    // The accessors other windows call.
    virtual bool UseCache() const = 0;
    virtual bool ClearCacheOnExit() const = 0;
    virtual int CacheLimit() const = 0;
    virtual bool UseMD5File() const = 0;
    virtual int BufferSizeKB() const = 0;
    virtual bool AutoReload() const = 0;
    virtual void PlayFinishSound() = 0;
    virtual void PlayErrorSound() = 0;
    virtual void ApplyPriority() = 0;

    // Settings that their users read straight from the options form's controls.
    virtual bool ByteLen() const = 0;
    virtual bool NotUseMD5File() const = 0;
    virtual bool AutoCreateMD5() const = 0;
    virtual bool UseSSTP() const = 0;
    virtual bool CloseQuery() const = 0;
    virtual bool ClearLog() const = 0;
    virtual bool NoSplash() const = 0;
};

// Answers from a TSettingsValues; sounds go to the platform's player.
class TDefaultSettings : public TSettingsAccess {
public:
    TSettingsValues Values;

    bool UseCache() const override { return Values.UseFileCache; }
    bool ClearCacheOnExit() const override { return Values.DeleteCacheFiles; }
    int CacheLimit() const override;
    bool UseMD5File() const override { return Values.UseMD5File; }
    int BufferSizeKB() const override;
    bool AutoReload() const override { return Values.Reloadfile; }
    void PlayFinishSound() override;
    void PlayErrorSound() override;
    void ApplyPriority() override {}

    bool ByteLen() const override { return Values.ByteLen; }
    bool NotUseMD5File() const override { return Values.NotUseMD5File; }
    bool AutoCreateMD5() const override { return Values.AutoCreateMD5; }
    bool UseSSTP() const override { return Values.UseSSTP; }
    bool CloseQuery() const override { return Values.CloseQuery; }
    bool ClearLog() const override { return Values.ClearLog; }
    bool NoSplash() const override { return Values.NoSplash; }
};

// The settings in force; a TDefaultSettings until something else is installed.
TSettingsAccess& Settings();
// Installs `settings` (not owned); nullptr goes back to the built-in defaults.
void SetSettings(TSettingsAccess* settings);
