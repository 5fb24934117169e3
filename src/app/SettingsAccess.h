// What the rest of the program asks about the user's settings. The options form answers
// from its controls once it exists; before that, and in the command line tool, a
// TRecordSettings answers from a TSettings record.
#pragma once

#include <string>

#include "settings/SettingsFile.h"

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
    virtual bool ListsBeside() const = 0;
};

// Answers from `Values`; sounds and priority go to the platform.
class TRecordSettings : public TSettingsAccess {
public:
    TSettings Values;

    TRecordSettings() = default;
    explicit TRecordSettings(const TSettings& values) : Values(values) {}

    bool UseCache() const override { return Values.UseFileCache; }
    bool ClearCacheOnExit() const override { return Values.DeleteCacheFiles; }
    int CacheLimit() const override { return ::CacheLimit(Values); }
    bool UseMD5File() const override { return Values.UseMD5File; }
    int BufferSizeKB() const override { return ::BufferSizeKB(Values); }
    bool AutoReload() const override { return Values.ReloadFile; }
    void PlayFinishSound() override;
    void PlayErrorSound() override;
    void ApplyPriority() override;

    bool ByteLen() const override { return Values.ByteLen; }
    bool NotUseMD5File() const override { return Values.NotUseMD5File; }
    bool AutoCreateMD5() const override { return Values.AutoCreateMD5; }
    bool UseSSTP() const override { return Values.UseSSTP; }
    bool CloseQuery() const override { return Values.CloseQuery; }
    bool ClearLog() const override { return Values.ClearLog; }
    bool NoSplash() const override { return Values.NoSplash; }
    bool ListsBeside() const override { return Values.ListsBeside; }
};

// The settings in force; until something else is installed, the states the options form's
// controls have before anything is loaded.
TSettingsAccess& Settings();
// Installs `settings` (not owned); nullptr goes back to those initial states.
void SetSettings(TSettingsAccess* settings);

// Plays `file` when sounds are on and it names an existing file; otherwise nothing.
void PlaySoundFile(bool useSound, const std::string& file);
// Gives the process the priority class of list item `index` (0 normal, 1 high, 2 idle);
// any other index changes nothing.
void ApplyPriorityItem(int index);
