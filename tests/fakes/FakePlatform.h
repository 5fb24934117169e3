// Records the calls out of the process instead of making them.
#pragma once

#include <QString>
#include <QList>
#include <QStringList>
#include <functional>
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
    // Program files started, and the reason a start fails with (empty: it succeeds).
    QList<TPath> StartedFiles;
    QString StartFailure;
    bool StartProgramFile(const TPath& file, QString* reason) override {
        StartedFiles << file;
        if (!StartFailure.isEmpty() && reason) *reason = StartFailure;
        return StartFailure.isEmpty();
    }
    // Files handed to the desktop, and the reason the desktop gives (empty: it opens them).
    QList<TPath> OpenedFiles;
    QString OpenFailure;
    void OpenFile(const TPath& file, std::function<void(const QString&)> failed) override {
        OpenedFiles << file;
        if (!OpenFailure.isEmpty() && failed) failed(OpenFailure);
    }
    void SetClipboardText(const QString& text) override { Clipboard << text; }
    void PlaySound(const QString& file) override { Sounds << file; }
    uint32_t PriorityClass() const override { return CurrentPriority; }
    void SetPriorityClass(uint32_t priorityClass) override {
        PriorityChanges.push_back(priorityClass);
        CurrentPriority = priorityClass;
    }
};
