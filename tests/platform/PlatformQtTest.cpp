// The Qt stand-ins: file-dialog filters, CP932 text files, icon handles.
#include <sys/wait.h>
#include <unistd.h>

#include <QFile>
#include <QFileSystemModel>
#include <QListView>
#include <QMessageBox>
#include <QScreen>
#include <QTest>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <functional>

#include "fakes/AppFixture.h"
#include "fakes/WindowChecks.h"
#include "platform/IconLookup.h"
#include "platform/TextFile.h"
#include "support/PeBuilder.h"

namespace {

TEST(QtNameFilters, WindowsFilterBecomesQtFilters) {
    EXPECT_EQ(QtNameFilters(QStringLiteral("すべてのファイル(*.*)|*.*|MD5ファイル(*.MD5)|*.md5|書庫ファイル|*.zip;*.tar")),
              (QStringList{QStringLiteral("すべてのファイル(*.*) (*)"), QStringLiteral("MD5ファイル(*.MD5) (*.md5 *.MD5)"),
                           QStringLiteral("書庫ファイル (*.zip *.ZIP *.tar *.TAR)")}));
    EXPECT_TRUE(QtNameFilters(QString()).isEmpty());
}

// Runs `act` on the real file dialog as soon as it is up.
void WhenFileDialogShows(std::function<void(QFileDialog&)> act) {
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, poll, [poll, act] {
        QFileDialog* dlg = nullptr;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* d = qobject_cast<QFileDialog*>(w); d && d->isVisible()) dlg = d;
        if (!dlg) return;
        poll->deleteLater();
        poll->stop();
        act(*dlg);
    });
    poll->start(10);
}

TEST(RealFileDialog, JapaneseTextsPlainFilterNamesWideColumnsAndTheLastFolder) {
    ASSERT_TRUE(InstallQtTranslation()) << "qt6-translations-l10n is installed by scripts/deps.sh";
    ForgetLastFolder();
    TempDir dir;
    const std::filesystem::path sub = dir.path() / "chosen";
    std::filesystem::create_directories(sub);
    const QString file = QString::fromStdString((sub / "a-file-with-a-long-name-for-the-column.txt").string());
    QFile(file).open(QIODevice::WriteOnly);

    TFileDialogRequest request;
    request.Filter = QStringLiteral("すべてのファイル(*.*)|*.*|ISOイメージ(CD,DVD)|*.iso;*.mdf|書庫ファイル|*.zip");
    QStringList shownFilters;
    QString openText, cancelText;
    bool columnsFit = false, allShown = false;
    WhenFileDialogShows([&](QFileDialog& dlg) {
        if (auto* combo = dlg.findChild<QComboBox*>(QStringLiteral("fileTypeCombo")))
            for (int i = 0; i < combo->count(); ++i) shownFilters << combo->itemText(i);
        if (auto* box = dlg.findChild<QDialogButtonBox*>()) {
            if (QPushButton* b = box->button(QDialogButtonBox::Open)) openText = b->text();
            if (QPushButton* b = box->button(QDialogButtonBox::Cancel)) cancelText = b->text();
        }
        dlg.setDirectory(QString::fromStdString(sub.string()));
        auto* view = dlg.findChild<QTreeView*>(QStringLiteral("treeView"));
        columnsFit = view && QTest::qWaitFor([view] {
            if (view->model()->rowCount(view->rootIndex()) == 0) return false;
            for (int c = 0; c < view->header()->count(); ++c)
                if (view->columnWidth(c) < static_cast<QAbstractItemView*>(view)->sizeHintForColumn(c)) return false;
            return true;
        }, 5000);
        // Every column in sight: the dialog widens as far as the screen allows.
        allShown = view && QTest::qWaitFor([view, &dlg] {
            return view->header()->length() <= view->viewport()->width() ||
                   dlg.frameGeometry().width() >= dlg.screen()->availableGeometry().width();
        }, 5000);
        if (auto* name = dlg.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))) name->setText(file);
        static_cast<QDialog&>(dlg).done(QDialog::Accepted);
    });
    EXPECT_EQ(Dialogs().OpenFile(request), file);
    EXPECT_EQ(shownFilters, (QStringList{QStringLiteral("すべてのファイル(*.*)"), QStringLiteral("ISOイメージ(CD,DVD)"),
                                         QStringLiteral("書庫ファイル")}));
    EXPECT_TRUE(openText.contains(QStringLiteral("開く"))) << openText.toStdString();
    EXPECT_EQ(cancelText, QStringLiteral("キャンセル"));
    EXPECT_TRUE(columnsFit);
    EXPECT_TRUE(allShown);

    // The next dialog without a folder of its own opens where the file was chosen.
    QString startedIn;
    WhenFileDialogShows([&](QFileDialog& dlg) {
        startedIn = dlg.directory().absolutePath();
        static_cast<QDialog&>(dlg).done(QDialog::Rejected);
    });
    EXPECT_TRUE(Dialogs().OpenFile(TFileDialogRequest{}).isEmpty());
    EXPECT_EQ(startedIn, QString::fromStdString(sub.string()));

    ForgetLastFolder();
}

// A folder's type is Japanese like the rest of the dialog, and the places on the left show
// their names whole.
TEST(RealFileDialog, FolderTypeInJapaneseAndPlacesNamedWhole) {
    ASSERT_TRUE(InstallQtTranslation());
    TempDir dir;
    std::filesystem::create_directories(dir.path() / "sub");
    QString type;
    QStringList cut;
    WhenFileDialogShows([&](QFileDialog& dlg) {
        dlg.setDirectory(QString::fromStdString(dir.path().string()));
        auto* model = dlg.findChild<QFileSystemModel*>();
        const QString sub = QString::fromStdString((dir.path() / "sub").string());
        if (!QTest::qWaitFor([&] { return model && model->index(sub).isValid(); }, 5000)) type = QStringLiteral("not listed");
        else type = model->type(model->index(sub));
        if (auto* places = dlg.findChild<QListView*>(QStringLiteral("sidebar"))) {
            QTest::qWait(50);   // the dialog lays its splitter out once shown
            for (int row = 0; row < places->model()->rowCount(); ++row) {
                const QModelIndex index = places->model()->index(row, 0);
                if (places->visualRect(index).right() < places->sizeHintForIndex(index).width() - 1)
                    cut << index.data().toString();
            }
        } else {
            cut << QStringLiteral("no sidebar");
        }
        static_cast<QDialog&>(dlg).done(QDialog::Rejected);
    });
    Dialogs().OpenFile(TFileDialogRequest{});
    EXPECT_EQ(type, QStringLiteral("フォルダ"));
    EXPECT_EQ(cut, QStringList());
    ForgetLastFolder();
}

// A message box is a fixed dialog that keeps each line of its text on one line (Japanese
// has no blanks where Qt could wrap it sensibly).
TEST(RealMessageBox, AFixedDialogWhereEachLineOfTheTextStaysWhole) {
    const QString first = QStringLiteral("設定を初期値へ戻します。初期化されるのは基本設定と追加設定です。");
    const QString second = QStringLiteral("システムを含めて初期化する場合は\"完全な初期化\"ボタンをクリックして下さい");
    int labelWidth = 0, needed = 0;
    ::testing::AssertionResult fixed = ::testing::AssertionFailure() << "no box";
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, poll, [&, poll] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        poll->stop();
        poll->deleteLater();
        QTest::qWait(20);
        fixed = IsFixedDialog(*box);
        if (auto* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"))) {
            labelWidth = label->contentsRect().width();
            const QFontMetrics metrics(label->font());
            needed = std::max(metrics.horizontalAdvance(first), metrics.horizontalAdvance(second));
        }
        box->defaultButton()->click();
    });
    poll->start(10);
    EXPECT_EQ(Dialogs().MessageBox(QStringLiteral("確認"), first + QStringLiteral("\r\n") + second, TMsgButtons::YesNo,
                                   TMsgIcon::Question),
              TMsgResult::Yes);
    EXPECT_TRUE(fixed);
    EXPECT_GT(needed, 0);
    EXPECT_GE(labelWidth, needed);
}

TEST(TextFile, LinesInShiftJisWithCrLfAndFailuresWithReason) {
    TempDir dir;
    const TPath path(dir.file("t.txt"));
    QString error;
    ASSERT_TRUE(WriteTextFileCp932(path, {QStringLiteral("表"), QString(), QStringLiteral("a\u00e9")}, &error));
    QFile f(path.ToQString());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    // 表 is 0x95 0x5C in code page 932; é has no code there and becomes '?'.
    EXPECT_EQ(f.readAll(), QByteArray("\x95\x5C\r\n\r\na?\r\n"));
    // Replacing works; a folder in the way fails with the system's reason.
    ASSERT_TRUE(WriteTextFileCp932(path, {QStringLiteral("x")}, &error));
    EXPECT_FALSE(WriteTextFileCp932(TPath(dir.path().string()), {QStringLiteral("x")}, &error));
    EXPECT_FALSE(error.isEmpty());
}

// A save that fails part way (a full disk or quota: writes past the limit fail) leaves the old
// file byte for byte and nothing half-written beside it; without an old file, no file at all.
TEST(TextFile, AFailedReplaceLeavesTheOldFileAndNoPartialOne) {
    TempDir dir;
    const std::string old = PatternBytes(5000);
    const TPath kept(dir.write("kept.txt", old));
    // A name need not be UTF-8.
    const TPath fresh(dir.file("fresh\xFF.txt"));
    const QByteArray big(12000, 'x');
    QString error;
    {
        const FileSizeLimit limit(4096);
        EXPECT_FALSE(WriteFileReplacing(kept, big, &error));
        EXPECT_EQ(error, QString::fromLocal8Bit(std::strerror(EFBIG)));
        error.clear();
        EXPECT_FALSE(WriteFileReplacing(fresh, big, &error));
        EXPECT_FALSE(error.isEmpty());
    }
    EXPECT_EQ(ReadBytes(kept.Bytes()), old);
    EXPECT_FALSE(fs::exists(fresh.Bytes()));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
}

TEST(TextFile, AReplacedFileKeepsItsModeAndLinksAreWrittenThrough) {
    TempDir dir;
    const std::string file = dir.write("data.txt", "old");
    fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    fs::create_symlink(file, dir.file("link.txt"));
    QString error;
    ASSERT_TRUE(WriteFileReplacing(TPath(dir.file("link.txt")), "new", &error)) << error.toStdString();
    EXPECT_TRUE(fs::is_symlink(dir.file("link.txt")));
    EXPECT_EQ(ReadBytes(file), "new");
    EXPECT_EQ(fs::status(file).permissions(), fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 2);
    // A name that is not UTF-8 is written as its bytes.
    ASSERT_TRUE(WriteFileReplacing(TPath(dir.file("odd\xFE.txt")), "odd", &error));
    EXPECT_EQ(ReadBytes(dir.file("odd\xFE.txt")), "odd");
    // A file its user may not write is refused, not replaced behind its back.
    if (::geteuid() != 0) {
        fs::permissions(file, fs::perms::owner_read);
        EXPECT_FALSE(WriteFileReplacing(TPath(file), "newer", &error));
        EXPECT_EQ(ReadBytes(file), "new");
    }
}

// The real priority stand-in, in a child process so the tests keep their own priority.
TEST(Priority, IdleIsAlwaysPermittedAndUnknownClassesChangeNothing) {
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        SetPlatform(nullptr);
        TPlatform& p = Platform();
        int fails = 0;
        const uint32_t before = p.PriorityClass();
        p.SetPriorityClass(0x1234);
        if (p.PriorityClass() != before) fails |= 1;
        p.SetPriorityClass(pcIdle);
        if (p.PriorityClass() != pcIdle) fails |= 2;
        // Leaving idle for a higher class needs the right to raise priorities: either the
        // change is made or nothing changes.
        p.SetPriorityClass(pcHigh);
        const uint32_t after = p.PriorityClass();
        if (after != pcHigh && after != pcIdle) fails |= 4;
        _exit(fails);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

class Icons : public AppFixture {};

TEST_F(Icons, EachFileTypeShowsItsThemeIcon) {
    const QString text = MakeFile(QStringLiteral("notes.txt"), std::string("plain words\n"));
    const QString image = MakeFile(QStringLiteral("picture.png"), std::string("\x89PNG\r\n\x1a\n", 8));
    const TIconHandle a = LookupFileIcon(text.toStdString(), false);
    const TIconHandle b = LookupFileIcon(image.toStdString(), false);
    ASSERT_NE(a, 0u);
    ASSERT_NE(b, 0u);
    const QImage ia = IconForHandle(a).pixmap(32, 32).toImage();
    const QImage ib = IconForHandle(b).pixmap(32, 32).toImage();
    EXPECT_FALSE(ia.isNull());
    EXPECT_NE(ia, ib);  // not the same blank page for every file
    ReleaseIcon(a);
    ReleaseIcon(b);
}

TEST_F(Icons, TheWindowKeepsOnlyTheIconItShows) {
    InstallIconLookup();
    const size_t before = IconHandleCount();
    w_->Button4->click();
    const QString a = MakeFile(QStringLiteral("a.txt"), std::string("abc"));
    for (int i = 0; i < 5; ++i) w_->AnalyzeFile(TPath(a));
    EXPECT_LE(IconHandleCount(), before + 1);
    SetIconLookup(nullptr);
}

// PNG bytes of a picture no theme has: four coloured quarters.
std::vector<uint8_t> QuartersPng(int size, QImage& picture) {
    picture = QImage(size, size, QImage::Format_ARGB32);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            picture.setPixel(x, y, x < size / 2 ? (y < size / 2 ? 0xFFFF0000u : 0xFF00FF00u)
                                                 : (y < size / 2 ? 0xFF0000FFu : 0x80FFFF00u));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "PNG");
    return std::vector<uint8_t>(bytes.begin(), bytes.end());
}

TEST_F(Icons, AWindowsProgramShowsItsOwnIconAndABrokenOneItsTypeIcon) {
    QImage large, small;
    const std::vector<uint8_t> png32 = QuartersPng(32, large), png16 = QuartersPng(16, small);
    pebuild::PeOptions o;
    o.resources = {
        {{14, {}}, {1, {}}, 0, pebuild::IconGroup({{32, 32, 32, uint32_t(png32.size()), 1},
                                                  {16, 16, 32, uint32_t(png16.size()), 2}})},
        {{3, {}}, {1, {}}, 0, png32},
        {{3, {}}, {2, {}}, 0, png16},
    };
    const std::vector<uint8_t> pe = pebuild::BuildPe(o).bytes;
    const QString program = MakeFile(QStringLiteral("prog.exe"), std::string(pe.begin(), pe.end()));
    const TIconHandle handle = LookupFileIcon(program.toStdString(), false);
    ASSERT_NE(handle, 0u);
    const QIcon icon = IconForHandle(handle);
    EXPECT_EQ(icon.pixmap(32, 32).toImage().convertToFormat(QImage::Format_ARGB32), large);
    EXPECT_EQ(icon.pixmap(16, 16).toImage().convertToFormat(QImage::Format_ARGB32), small);
    ReleaseIcon(handle);

    // The group names an image that is not a picture, or the group is cut: the type's icon.
    const QString plain = MakeFile(QStringLiteral("plain.exe"), std::string("not a program"));
    const TIconHandle typeHandle = LookupFileIcon(plain.toStdString(), false);
    const QImage typeIcon = IconForHandle(typeHandle).pixmap(32, 32).toImage();
    ASSERT_FALSE(typeIcon.isNull());
    pebuild::PeOptions garbage = o;
    garbage.resources[1].data = std::vector<uint8_t>(png32.size(), 0x5A);
    garbage.resources.erase(garbage.resources.begin() + 2);
    pebuild::PeOptions cut = o;
    cut.resources[0].data.resize(10);
    for (const pebuild::PeOptions& broken : {garbage, cut}) {
        const std::vector<uint8_t> bytes = pebuild::BuildPe(broken).bytes;
        const QString path = MakeFile(QStringLiteral("broken.exe"), std::string(bytes.begin(), bytes.end()));
        const TIconHandle h = LookupFileIcon(path.toStdString(), false);
        ASSERT_NE(h, 0u);
        EXPECT_EQ(IconForHandle(h).pixmap(32, 32).toImage(), typeIcon);
        ReleaseIcon(h);
    }
    ReleaseIcon(typeHandle);
}

}  // namespace
