// Action19: extract an archive into a folder beside it, or open any other file.
#include <sys/stat.h>

#include <QPointer>
#include <filesystem>
#include <vector>

#include "app/Tavrenne.h"
#include "engine/FileUtils.h"
#include "platform/ArchiveLibraries.h"
#include "platform/Dialogs.h"
#include "platform/Launch.h"
#include "platform/Path.h"
#include "platform/Platform.h"

namespace {

struct TArchiveRow {
    const char* Extension;
    const char* Kind;
    const char* Library;
    const char* BusyTest;   // nullptr: none
    const char* Entry;
    const char* Before;     // command line before the archive
    const char* After;      // the pattern after the destination; nullptr: none
};

const TArchiveRow kZip{".zip", "ZIP", "UNZIP32.DLL", nullptr, "UnZip", "", nullptr};
const TArchiveRow kLha{".lzh", "Lha", "UNLHA32.DLL", "UnlhaGetRunning", "Unlha", "e -x -u0 -jyc ", "*.*"};
const TArchiveRow kCab{".cab", "Cab", "cab32.dll", nullptr, "Cab", "-x ", "*.*"};
const TArchiveRow kGca{".gca", "GCA", "UnGCA32.dll", "UnGCAGetRunning", "UnGCA", "e -sx1 ", nullptr};

std::string Lower(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    return s;
}

// From the last dot of the file name on; empty without one.
std::string Extension(const std::string& path) {
    const std::string name = std::filesystem::path(path).filename().string();
    const size_t dot = name.rfind('.');
    return dot == std::string::npos ? std::string() : name.substr(dot);
}

// Paths stay file-system bytes: on Linux those are what the system's narrow calls take.
bool Extract(const TArchiveRow& row, const TPath& archive, QWidget* owner, bool extractHere) {
    const std::string& path = archive.Bytes();
    if (!FileExistsByAge(path)) return false;
    const TArchiveLibrary* library = LoadArchiveLibrary(row.Library);
    if (!library) return false;
    struct TUnload {
        const TArchiveLibrary* Library;
        ~TUnload() { FreeArchiveLibrary(Library); }
    } unload{library};

    if (row.BusyTest) {
        const auto busy = library->BusyTests.find(row.BusyTest);
        if (busy == library->BusyTests.end() || busy->second() != 0) return false;
    }
    const auto entry = library->Entries.find(row.Entry);
    if (entry == library->Entries.end()) return false;

    const std::filesystem::path file(path);
    std::string folder = file.parent_path().string();
    if (!extractHere) {
        folder += "/" + file.stem().string();
        ::mkdir(folder.c_str(), 0777);   // one level; a failure shows in the extraction
    }
    // The archive and the destination travel as values of their own: a quotation mark or a
    // blank in a path cannot make the library read another archive or destination.
    TArchiveCommand command;
    command.Switches = row.Before;
    command.Archive = path;
    command.Destination = folder + "/";
    if (row.After) command.Patterns = {row.After};
    std::vector<char> buffer(513);
    return entry->second(owner, command, buffer.data(), 512) == 0;
}

}  // namespace

bool TTavrenne::ExtractZip(const TPath& archive, QWidget* owner, bool extractHere) {
    return Extract(kZip, archive, owner, extractHere);
}
bool TTavrenne::ExtractLha(const TPath& archive, QWidget* owner, bool extractHere) {
    return Extract(kLha, archive, owner, extractHere);
}
bool TTavrenne::ExtractCab(const TPath& archive, QWidget* owner, bool extractHere) {
    return Extract(kCab, archive, owner, extractHere);
}
bool TTavrenne::ExtractGca(const TPath& archive, QWidget* owner, bool extractHere) {
    return Extract(kGca, archive, owner, extractHere);
}

void TTavrenne::RunOrExtract() {
    const QString name = currentPath_.FileName().Display();
    if (Dialogs().MessageBox(applicationTitle_,
                             tr("%1の解凍(zip,lha,cab,gca)もしくは実行(関連付けから起動)を行います よろしいですか?").arg(name),
                             TMsgButtons::YesNo, TMsgIcon::Question) != TMsgResult::Yes)
        return;
    if (!FileExistsByAge(currentPath_.Bytes())) {
        Dialogs().MessageBox(applicationTitle_, tr("ファイルが見つかりません"), TMsgButtons::Ok, TMsgIcon::Error);
        return;
    }

    const std::string extension = Lower(Extension(currentPath_.Bytes()));
    const TArchiveRow* row = nullptr;
    for (const TArchiveRow* r : {&kZip, &kLha, &kCab, &kGca})
        if (extension == r->Extension) row = r;

    if (!row) {
        // Windows programs go to the desktop (which may know a runner for them); programs of
        // this system are started directly. Both are asked about first.
        const bool windowsProgram = extension == ".exe" || extension == ".com";
        const bool program = !windowsProgram && IsProgramFile(currentPath_.Bytes());
        if ((windowsProgram || program) &&
            Dialogs().MessageBox(tr("確認"), tr("このファイルは実行形式です 実行しますか？"),
                                 TMsgButtons::YesNo, TMsgIcon::Exclamation) != TMsgResult::Yes)
            return;
        if (program) {
            QString reason;
            if (!Platform().StartProgramFile(currentPath_, &reason))
                Dialogs().MessageBox(applicationTitle_, tr("%1を実行できませんでした\n%2").arg(name, reason),
                                     TMsgButtons::Ok, TMsgIcon::Error);
            return;
        }
        // The desktop answers later; the window may have gone by then.
        QPointer<TTavrenne> self(this);
        Platform().OpenFile(currentPath_, [self, name](const QString& reason) {
            if (self)
                Dialogs().MessageBox(self->applicationTitle_, tr("%1を開けませんでした\n%2").arg(name, reason),
                                     TMsgButtons::Ok, TMsgIcon::Error);
        });
        return;
    }

    if (Extract(*row, currentPath_, this, false))
        Dialogs().MessageBox(tr("結果報告"), tr("%1ファイルの解凍が終了しました。").arg(QString::fromLatin1(row->Kind)),
                             TMsgButtons::Ok, TMsgIcon::Information);
    else
        Dialogs().MessageBox(tr("結果報告"),
                             tr("このファイルに対する作業が正しく終了しませんでした！ファイルが不正かDLLエラーです"),
                             TMsgButtons::Ok, TMsgIcon::Error);
}
