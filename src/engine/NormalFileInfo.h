// The file-information record and the run shared by the digest engines.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <stdexcept>
#include <utility>
#include <string>

struct TFileInfo {
    int64_t Size = 0;
    uint32_t Attr = 0;
    uint32_t Age = 0;            // packed DOS date-time, local time
    std::string FileName;        // UTF-8 path; empty when no file is selected
    std::string FileVersion;
    std::string LegalCopyright;
    std::string FileDescription;
    std::string MD5;
    std::string CRC32;
    std::string SHA1;
    std::string TimeText;
    std::string TimeTextDefault;
    std::string TimeTextShort;
    // The digests beyond the first three, written by TFileSHA256Info and TFileSHA512Info.
    std::string SHA256;
    std::string SHA512;
};

// Bytes processed so far and the total; the final call of a run is (100, 100).
using TProgressProc = void (*)(int64_t processed, int64_t total);
// The same calls for a caller that needs its own state in them (a plain procedure reaches
// none but through a global).
using TProgressHandler = std::function<void(int64_t processed, int64_t total)>;

// Lets pending window messages run; the program installs QCoreApplication::processEvents,
// tests install counters. Engines call it every 101 buffers.
void SetMessagePump(std::function<void()> pump);
void PumpMessages();

// Opaque icon handle; the platform layer decides what it points to.
using TIconHandle = std::uintptr_t;
// Asks the desktop for a file's icon (0 when there is none). Installed by the program.
using TIconLookup = TIconHandle (*)(const std::string& path, bool small);
void SetIconLookup(TIconLookup lookup);

// Every engine but the CRC32 one raises this when the selected file cannot be opened.
class EFileOpenError : public std::runtime_error {
public:
    EFileOpenError(std::string path, std::string reason);
    const std::string& Path() const { return path_; }
    const std::string& Reason() const { return reason_; }

private:
    std::string path_;
    std::string reason_;
};

// Every engine but the CRC32 one raises this when the selected file cannot be read to the
// size it had when it was opened. It is an EFileOpenError, so every caller that reports a
// file it cannot use reports this one too.
class EFileReadError : public EFileOpenError {
public:
    using EFileOpenError::EFileOpenError;
};

// Why the last run gave no digest.
enum class TRunFailure { None, Open, Read };

class TNormalFileInfo {
public:
    TNormalFileInfo();
    virtual ~TNormalFileInfo();
    TNormalFileInfo(const TNormalFileInfo&) = delete;
    TNormalFileInfo& operator=(const TNormalFileInfo&) = delete;

    virtual void Execute() {}
    virtual std::string GetHashText(bool /*upper*/) { return {}; }

    void SetBufferSize(uint16_t kilobytes) { bufferKB_ = kilobytes; }
    uint16_t BufferSize() const { return bufferKB_; }
    // Either replaces the other; a null procedure or an empty handler reports nothing.
    void SetProgressProc(TProgressProc proc) { progress_ = proc ? TProgressHandler(proc) : nullptr; }
    void SetProgressHandler(TProgressHandler handler) { progress_ = std::move(handler); }
    void SetFileName(const std::string& path);
    // Off, SetFileName asks the desktop for no icons: a batch shows none, and a lookup per
    // file and phase would cost more than hashing a small file.
    void SetIconsWanted(bool wanted) { iconsWanted_ = wanted; }
    void ReadSize();
    void ReadVersionInfo();
    void GetFileInfo(TFileInfo& out) const { out = info_; }
    const TFileInfo& Info() const { return info_; }
    void ClearInfo() { info_ = TFileInfo{}; }
    void SetCanceled(bool canceled) { canceled_ = canceled; }
    bool Canceled() const { return canceled_; }
    // After a run: None when it gave its digest or was canceled; otherwise whether the file
    // could not be opened or could not be read to its end, and the system's reason.
    TRunFailure Failure() const { return failure_; }
    const std::string& FailureReason() const { return failureReason_; }

    TIconHandle SmallIcon = 0;
    TIconHandle LargeIcon = 0;

    // What a digest plugs into the shared run.
    class Digest {
    public:
        virtual ~Digest() = default;
        virtual void Init() = 0;
        virtual void Feed(const uint8_t* data, size_t len) = 0;
        virtual std::string Finish() = 0;   // upper-case text; empty on a digest error
        // A slow digest of a file longer than a few buffers gets a thread of its own: alone, a
        // second thread reads ahead while it digests; beside other digests, it digests on a
        // thread of its own.
        virtual bool Slow() const { return false; }
    };

protected:
    struct TDigestTarget {
        Digest* digest;
        std::string TFileInfo::*field;   // where its text goes
    };
    // One read of the selected file feeding every digest; each text goes to its field. With
    // raiseErrors a failure is also thrown: EFileOpenError, or EFileReadError for a file that
    // could not be read to its end.
    void Run(std::span<const TDigestTarget> targets, bool raiseErrors);
    void Run(Digest& digest, std::string TFileInfo::*field, bool raiseErrors) {
        const TDigestTarget target{&digest, field};
        Run(std::span(&target, 1), raiseErrors);
    }
    std::string CaseOf(const std::string& text, bool upper) const;

    TFileInfo info_;
    TRunFailure failure_ = TRunFailure::None;
    std::string failureReason_;

private:
    // The reading loop of a run: pumps, reports progress and honours a cancel on this thread
    // while the digests are fed here or on their own threads. Returns why the file could not
    // be read to `total` bytes; empty when it was, or when the run was canceled.
    std::string ReadThrough(int fd, int64_t total, std::span<const TDigestTarget> targets,
                            const TProgressHandler& progress);
    void Fail(TRunFailure failure, const std::string& reason, bool raise);

    bool canceled_ = false;
    TProgressHandler progress_;
    uint16_t bufferKB_ = 64;
    bool iconsWanted_ = true;
};
