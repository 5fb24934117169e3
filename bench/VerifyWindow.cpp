// The batch window verifying a checksum list, offscreen, as bench/check.py times it beside
// `tavrenne-cli check`: the list read, its rows added, the run to its closing box.
//   tavverifywindow LIST      (prints the verdict counts; exit 0 when every file matched)
#include <QApplication>
#include <QElapsedTimer>
#include <cstdio>

#include "batch/Tallcheck.h"
#include "engine/ChecksumVerify.h"
#include "platform/Dialogs.h"

namespace {

// Every question answered Yes, every box seen by nobody.
class TYesDialogs : public TDialogs {
public:
    TMsgResult MessageBox(const QString&, const QString& text, TMsgButtons buttons, TMsgIcon) override {
        Last = text;
        return buttons == TMsgButtons::YesNo ? TMsgResult::Yes : TMsgResult::Ok;
    }
    QString OpenFile(const TFileDialogRequest&) override { return {}; }
    QStringList OpenFiles(const TFileDialogRequest&) override { return {}; }
    QString SaveFile(const TFileDialogRequest&) override { return {}; }
    QString SelectFolder(const QString&, const QString&) override { return {}; }
    QString Last;
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: tavverifywindow LIST\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    SetMessagePump([] { QCoreApplication::processEvents(); });
    TYesDialogs dialogs;
    SetDialogs(&dialogs);
    QElapsedTimer timer;
    timer.start();

    const TPath list{std::string(argv[1])};
    const TListFile read = ReadChecksumListFile(list.Bytes());
    if (!read.Problem.empty()) {
        std::fprintf(stderr, "tavverifywindow: %s\n", read.Problem.c_str());
        return 1;
    }
    Tallcheck window;
    window.show();
    window.AddChecksumList(list, read.List.Entries);
    window.Action3->trigger();
    const Tallcheck::TVerdictCounts n = window.VerdictCounts();
    std::printf("%d rows in %.3f s: %d match, %d mismatch, %d missing, %d unreadable\n", window.RowCount(),
                double(timer.elapsed()) / 1000, n.Match, n.Mismatch, n.Missing, n.Unreadable);
    SetDialogs(nullptr);
    return n.Match == window.RowCount() ? 0 : 1;
}
