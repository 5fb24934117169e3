// Records the calls out of the process instead of making them.
#pragma once

#include <QString>
#include <QStringList>
#include <utility>
#include <vector>

#include "platform/Platform.h"

// A desktop-tool runner that runs nothing and reports success.
inline int NoTools(const std::vector<std::string>&) { return 0; }

class TFakePlatform : public TPlatform {
public:
    QString Folder;                                        // the "program folder"
    std::vector<std::pair<QString, QString>> Started;      // program, parameters
    QStringList Opened;
    QStringList Clipboard;                                 // every text put there
    QStringList Sounds;
    uint32_t CurrentPriority = pcNormal;                   // what the process runs at
    std::vector<uint32_t> PriorityChanges;                 // every class asked for

    QString ProgramFile() const override;                  // the test program itself
    QString ProgramFolder() const override { return Folder; }
    void StartProgram(const QString& program, const QString& parameters) override {
        Started.emplace_back(program, parameters);
    }
    void OpenDocument(const QString& pathOrUrl) override { Opened << pathOrUrl; }
    void SetClipboardText(const QString& text) override { Clipboard << text; }
    void PlaySound(const QString& file) override { Sounds << file; }
    uint32_t PriorityClass() const override { return CurrentPriority; }
    void SetPriorityClass(uint32_t priorityClass) override {
        PriorityChanges.push_back(priorityClass);
        CurrentPriority = priorityClass;
    }
};
