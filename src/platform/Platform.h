// Calls out of the process: starting programs, the desktop, the clipboard, sounds. Tests
// install a recording fake through SetPlatform.
#pragma once

#include <QString>
#include <cstdint>
#include <functional>

#include "engine/ProgramLayout.h"
#include "platform/Path.h"

// Process priority classes, by the values the Windows API gives them.
enum TPriorityClass : uint32_t {
    pcNormal = 0x20,
    pcIdle = 0x40,
    pcHigh = 0x80,
};

class TPlatform {
public:
    virtual ~TPlatform() = default;
    // The running program's own file and its folder (no trailing separator).
    virtual QString ProgramFile() const = 0;
    virtual QString ProgramFolder() const = 0;
    // Starts a program with a parameter text (blank-separated arguments); never waits, and a
    // program that is missing or fails to start is not reported.
    virtual void StartProgram(const QString& program, const QString& parameters) = 0;
    // Hands a file, folder or web address to the desktop's default handler.
    virtual void OpenDocument(const QString& pathOrUrl) = 0;
    // Starts a program file of this system directly (no shell, no desktop), in its own folder,
    // without waiting. False, with the system's reason, when it could not be started.
    virtual bool StartProgramFile(const TPath& file, QString* reason) = 0;
    // Hands a file to the desktop's default handler; `failed` hears the desktop's reason when
    // it could not open the file (later, from the event loop: the handler may take a while).
    virtual void OpenFile(const TPath& file, std::function<void(const QString& reason)> failed) = 0;
    virtual void SetClipboardText(const QString& text) = 0;
    // Plays a wave file without waiting; a sound still playing is replaced.
    virtual void PlaySound(const QString& file) = 0;
    // The priority class of this process, and a change of it; a change the system refuses
    // (a higher priority without the right to it) is silently not made. The base class
    // stands for a process that may not change its priority.
    virtual uint32_t PriorityClass() const { return pcNormal; }
    virtual void SetPriorityClass(uint32_t /*priorityClass*/) {}
};

TPlatform& Platform();
// Installs `platform` (not owned); nullptr goes back to the real services.
void SetPlatform(TPlatform* platform);

// The program's files, beside the program file as the platform names it.
TProgramLayout ProgramLayout();
// folder + separator + name.
QString JoinPath(const QString& folder, const QString& name);
