#include "cli/Batch.h"

#include <algorithm>
#include <optional>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "engine/NamedFileDigest.h"
#include "cli/Hash.h"
#include "cli/TerminalText.h"
#include "engine/ChecksumList.h"
#include "engine/BatchList.h"
#include "engine/BatchRun.h"
#include "engine/DigestKinds.h"
#include "engine/FileDigests.h"
#include "engine/FileUtils.h"
#include "engine/ProgramLayout.h"
#include "settings/SettingsFile.h"
#include "text/DateTimeFormat.h"

namespace {

int BatchUsage(const std::string& problem) {
    std::fprintf(stderr, "tavrenne-cli: %s\n", EscapeControls(problem).c_str());
    std::fprintf(stderr,
                 "usage: tavrenne-cli batch {%s|all} [--recurse] [--format gnu|bsd|sfv] [--export FILE] [--] PATH...\n",
                 DigestKindChoices().c_str());
    return 2;
}

// The export's cell of a kind; nullptr for a kind the window's export has no line for.
std::string TBatchRow::*ExportCell(TDigestKind kind) {
    switch (kind) {
    case TDigestKind::CRC32: return &TBatchRow::CRC32;
    case TDigestKind::MD5: return &TBatchRow::MD5;
    case TDigestKind::SHA1: return &TBatchRow::SHA1;
    default: return nullptr;
    }
}

void Report(const std::string& path, const std::string& reason) {
    std::fprintf(stderr, "tavrenne-cli: %s: %s\n", EscapeControls(path).c_str(), EscapeControls(reason).c_str());
}

// The rows as a list that `sha256sum -c` or `cksfv -f` checks, with the paths as given (an
// empty file has the digest of empty input there); each file without a line is reported.
std::string ListOfRows(const std::vector<TBatchRow>& rows, const TDigestKindInfo& kind, TListFormat format,
                       int& status) {
    std::vector<TFileDigest> results(rows.size());
    std::string list;
    RunInOrder(
        rows.size(), [&](size_t r) { results[r] = DigestFile(rows[r].Path, {&kind}); },
        [&](size_t r) {
            const TFileDigest& d = results[r];
            if (d.State != TFileDigest::TState::Done) {
                Report(rows[r].Path, d.Reason);
                status = 1;
            } else if (const auto line = FormatListLine(format, kind, d.Texts[0], rows[r].Path)) {
                list += *line + '\n';
            } else {
                Report(rows[r].Path, "this name cannot be written in an SFV list");
                status = 1;
            }
        });
    return list;
}

// The rows in memory; each file's first reason for a missing digest is kept.
class TListSink : public TBatchHashSink {
public:
    TListSink(std::vector<TBatchRow>& rows, std::vector<std::string>& reasons, std::string TBatchRow::*cell)
        : rows_(rows), reasons_(reasons), cell_(cell) {}
    int RowCount() override { return int(rows_.size()); }
    // A path the engine can open however long the row's path is, held until the next row.
    std::string RowPath(int row) override {
        access_.reset();
        access_ = std::make_unique<TPathAccess>(rows_[size_t(row)].Path);
        return access_->Path();
    }
    bool Aborted() override { return false; }
    void RowDone(int row, const std::string& size, const std::string& digest, const std::string& reason) override {
        TBatchRow& r = rows_[size_t(row)];
        r.Size = size;
        if (!digest.empty()) r.*cell_ = digest;
        else Note(row, reason);
    }
    void RowFailed(int row, const std::string& reason) override { Note(row, reason); }

private:
    void Note(int row, const std::string& reason) {
        std::string& kept = reasons_[size_t(row)];
        if (kept.empty()) kept = reason.empty() ? "no digest" : reason;
    }
    std::vector<TBatchRow>& rows_;
    std::vector<std::string>& reasons_;
    std::string TBatchRow::*cell_;
    std::unique_ptr<TPathAccess> access_;
};

// At most this many files are digested at once: more would only make a disk seek between them.
constexpr unsigned kMaxDigestWorkers = 4;

// All three digests of every row, each file read once. Rows are independent, so a few workers
// take them in turn, each with its own engine; every row's cells and reason land in its own
// slot, so the list, the export and the reasons come out as one worker would give them.
void DigestAllRows(std::vector<TBatchRow>& rows, std::vector<std::string>& reasons, uint16_t bufferKB,
                   const std::string& separator) {
    std::atomic<size_t> next{0};
    auto work = [&] {
        TFileDigests engine(AllDigestKinds());
        engine.SetBufferSize(bufferKB);
        engine.SetIconsWanted(false);
        for (size_t r; (r = next.fetch_add(1)) < rows.size();) {
            TBatchRow& row = rows[r];
            const TPathAccess access(row.Path);
            engine.SetFileName(access.Path());
            engine.ReadSize();
            const std::string size = BatchSizeText(engine.Info().Size, separator);
            engine.Execute();
            const std::pair<TDigestKind, std::string TBatchRow::*> cells[] = {
                {TDigestKind::CRC32, &TBatchRow::CRC32}, {TDigestKind::MD5, &TBatchRow::MD5},
                {TDigestKind::SHA1, &TBatchRow::SHA1}};
            bool any = false;
            for (const auto& [kind, cell] : cells) {
                std::string text = engine.HashText(kind, false);
                if (text.empty()) continue;
                row.*cell = std::move(text);
                any = true;
            }
            // A file that vanished or could not be read keeps its cells, as in a single run.
            if (any || !NoDigestIsFailure(engine)) row.Size = size;
            if (!any) reasons[r] = NoDigestReason(engine, access.Path());
        }
    };
    const unsigned wanted = std::clamp(std::thread::hardware_concurrency(), 1u, kMaxDigestWorkers);
    std::vector<std::thread> workers;
    for (unsigned i = 1; i < wanted && i < rows.size(); ++i) {
        try {
            workers.emplace_back(work);
        } catch (const std::system_error&) {
            break;   // no more threads to be had: fewer workers do the same rows
        }
    }
    work();
    for (std::thread& t : workers) t.join();
}

}  // namespace

int RunBatch(const std::vector<std::string>& args) {
    if (args.empty()) return BatchUsage("batch needs a digest kind");
    std::vector<TDigestKind> kinds;
    if (args[0] == "all") {
        kinds = {TDigestKind::CRC32, TDigestKind::MD5, TDigestKind::SHA1};
    } else if (const TDigestKindInfo* k = DigestKindByCommandName(args[0])) {
        kinds = {k->Kind};
    } else {
        return BatchUsage("unknown digest kind: " + args[0]);
    }
    bool recurse = false, exporting = false;
    std::string exportFile;
    std::optional<TListFormat> format;
    std::vector<std::string> paths;
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--") {
            paths.insert(paths.end(), args.begin() + long(i) + 1, args.end());
            break;
        }
        if (a == "--recurse") {
            recurse = true;
        } else if (a == "--export") {
            if (i + 1 == args.size()) return BatchUsage("--export needs a FILE");
            exporting = true;
            exportFile = args[++i];
        } else if (a == "--format") {
            const std::string value = i + 1 < args.size() ? args[++i] : std::string();
            if (value == "gnu") format = TListFormat::Gnu;
            else if (value == "bsd") format = TListFormat::Bsd;
            else if (value == "sfv") format = TListFormat::Sfv;
            else return BatchUsage("--format takes gnu, bsd or sfv");
        } else if (a.size() > 1 && a[0] == '-') {
            return BatchUsage("unknown option " + a + " (put -- before a name that starts with -)");
        } else {
            paths.push_back(a);
        }
    }
    if (paths.empty()) return BatchUsage("batch needs a PATH");
    if (format && kinds.size() != 1) return BatchUsage("--format writes a list of one digest kind, not all");
    if (format == TListFormat::Sfv && &DigestKindInfo(kinds[0]) != &SfvDigestKind())
        return BatchUsage(std::string("an SFV list holds ") + SfvDigestKind().CommandName + " only");
    if (!format && !ExportCell(kinds[0]))
        return BatchUsage(std::string("the export has no line for ") + DigestKindInfo(kinds[0]).CommandName +
                          ": write a list with --format gnu, bsd or sfv");

    // The buffer size of the desktop program's settings, read and never written.
    TSettings settings = InitialSettings();
    LoadSettings(TProgramLayout::OfRunningProgram().SettingsFile(), {}, settings);
    const uint16_t bufferKB = uint16_t(BufferSizeKB(settings));

    int status = 0;
    const std::string newTime = FileTimeText(NowParts());
    std::vector<TBatchRow> rows;
    for (const std::string& path : paths) {
        const std::string problem = FileProblem(path);
        if (problem == "is a folder") {
            // What the walk passed over is said; entries that are no files (folders, FIFOs,
            // files dated outside 1980 to 2107) are left out without a word, as in the window.
            std::vector<TSkippedPath> skipped;
            for (const std::string& p : CollectFolder(path, recurse, &skipped)) {
                if (auto row = MakeBatchRow(p, newTime)) {
                    rows.push_back(std::move(*row));
                } else if (const TPathAccess access(p); access.Path().empty()) {
                    skipped.push_back({p, std::strerror(access.Error())});
                }
            }
            for (const TSkippedPath& s : skipped) {
                Report(s.Path, s.Reason);
                status = 1;
            }
        } else if (auto row = MakeBatchRow(path, newTime)) {
            rows.push_back(std::move(*row));
        } else {
            Report(path, problem.empty() ? "not added" : problem);
            status = 1;
        }
    }

    if (format) {
        const std::string list = ListOfRows(rows, DigestKindInfo(kinds[0]), *format, status);
        if (!exporting) {
            std::fwrite(list.data(), 1, list.size(), stdout);
        } else if (const std::string problem = WriteExport(exportFile, list); !problem.empty()) {
            Report(exportFile, problem);
            return 1;
        }
        return status;
    }

    std::vector<std::string> reasons(rows.size());
    const std::string separator = ThousandsSeparator();
    if (kinds.size() == 1) {
        const TDigestKind kind = kinds[0];
        TListSink sink(rows, reasons, ExportCell(kind));
        RunBatchHashPhase(DigestKindInfo(kind), bufferKB, nullptr, separator, sink);
    } else {
        // The window's three phases give what one read of each file gives: read it once.
        DigestAllRows(rows, reasons, bufferKB, separator);
    }
    for (size_t r = 0; r < rows.size(); ++r) {
        if (reasons[r].empty()) continue;
        Report(rows[r].Path, reasons[r]);
        status = 1;
    }

    const std::vector<std::string> lines = ExportLines(rows, LocaleDateTimeText(NowParts()));
    if (exporting) {
        if (const std::string problem = WriteExport(exportFile, ExportBytes(lines)); !problem.empty()) {
            Report(exportFile, problem);
            return 1;
        }
    } else {
        std::string out;
        for (const std::string& line : lines) out += line + '\n';
        std::fwrite(out.data(), 1, out.size(), stdout);
    }
    return status;
}
