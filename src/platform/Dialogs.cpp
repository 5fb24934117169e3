#include "platform/Dialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QLabel>
#include <QLibraryInfo>
#include <QListView>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSplitter>
#include <QLocale>
#include <QTranslator>
#include <QScreen>
#include <QTimer>
#include <QTreeView>
#include <QMessageBox>
#include <QPushButton>
#include <QStringList>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <utility>
#include <vector>

namespace {

QWidget* Owner() {
    QWidget* w = QApplication::activeModalWidget();
    if (!w) w = QApplication::activeWindow();
    return w;
}

bool g_dismissed = false;
// The folder of the last file chosen in an open or save dialog: where the next one opens.
QString g_lastFolder;
// The real dialogs now running, each with the way it is dismissed.
std::vector<std::pair<const QDialog*, std::function<void()>>> g_open;

// Lists a dialog as open for as long as it runs.
class TOpenDialog {
public:
    TOpenDialog(const QDialog& dialog, std::function<void()> dismiss) : dialog_(&dialog) {
        g_open.emplace_back(dialog_, std::move(dismiss));
    }
    ~TOpenDialog() {
        std::erase_if(g_open, [this](const auto& entry) { return entry.first == dialog_; });
    }
    TOpenDialog(const TOpenDialog&) = delete;
    TOpenDialog& operator=(const TOpenDialog&) = delete;

private:
    const QDialog* dialog_;
};

void Trace(const char* state, QString text) {
    static const bool on = qEnvironmentVariableIsSet("TAVRENNE_TRACE_DIALOGS");
    if (!on) return;
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    std::fprintf(stderr, "dialog %s: %s\n", state, text.toUtf8().constData());
    std::fflush(stderr);
}

// The detail columns follow their contents once the folder is read (Qt's own widths cut
// Japanese dates and type names short).
void FitColumns(QFileDialog& dlg) {
    auto* view = dlg.findChild<QTreeView*>(QStringLiteral("treeView"));
    auto* model = dlg.findChild<QFileSystemModel*>();
    if (!view || !model) return;  // the desktop's own dialog
    auto fit = [view, &dlg] {
        for (int c = 0; c < view->header()->count(); ++c) {
            const int wanted = std::max(static_cast<QAbstractItemView*>(view)->sizeHintForColumn(c), view->header()->sectionSizeHint(c));
            if (view->columnWidth(c) < wanted) view->setColumnWidth(c, wanted);
        }
        // A shown dialog widens, as far as the screen allows, so that no column hides
        // behind a scroll bar.
        const int missing = view->header()->length() - view->viewport()->width();
        if (!dlg.isVisible() || missing <= 0) return;
        const QScreen* screen = dlg.screen();
        const int room = screen ? screen->availableGeometry().width() - dlg.frameGeometry().width() : 0;
        if (room > 0) dlg.resize(dlg.width() + std::min(missing, room), dlg.height());
    };
    QObject::connect(model, &QFileSystemModel::directoryLoaded, view, fit);
    fit();
    QTimer::singleShot(0, view, fit);   // once shown, for a folder read before
}

// The places on the left show their names whole ("コンピュータ" is wider than Qt's room for it).
void FitSidebar(QFileDialog& dlg) {
    auto* sidebar = dlg.findChild<QListView*>(QStringLiteral("sidebar"));
    auto* splitter = dlg.findChild<QSplitter*>(QStringLiteral("splitter"));
    if (!sidebar || !splitter || splitter->count() < 2) return;  // the desktop's own dialog
    auto fit = [sidebar, splitter] {
        const int wanted = sidebar->sizeHintForColumn(0) + 2 * sidebar->frameWidth() +
                           (sidebar->verticalScrollBar()->isVisible() ? sidebar->verticalScrollBar()->width() : 0) + 4;
        QList<int> sizes = splitter->sizes();
        if (sizes.size() < 2 || sizes[0] >= wanted) return;
        sizes[1] = std::max(0, sizes[1] - (wanted - sizes[0]));
        sizes[0] = wanted;
        splitter->setSizes(sizes);
    };
    fit();
    QTimer::singleShot(0, sidebar, fit);   // once shown: the dialog lays its splitter out then
}

// The file dialog's choice; cancelled when the program is ending.
// Every name chosen; none when the dialog was cancelled.
QStringList RunFileDialogForAll(QFileDialog& dlg, bool remember) {
    if (g_dismissed) {
        Trace("answered", dlg.windowTitle());
        return {};
    }
    FitColumns(dlg);
    FitSidebar(dlg);
    const TOpenDialog open(dlg, [&dlg] { dlg.reject(); });
    Trace("open", dlg.windowTitle());
    const QStringList chosen = dlg.exec() == QDialog::Accepted ? dlg.selectedFiles() : QStringList();
    if (remember && !chosen.isEmpty()) g_lastFolder = QFileInfo(chosen.first()).absolutePath();
    return chosen;
}

QString RunFileDialog(QFileDialog& dlg, bool remember) {
    const QStringList chosen = RunFileDialogForAll(dlg, remember);
    return chosen.isEmpty() ? QString() : chosen.first();
}

// Qt wraps a message wider than 500 pixels anywhere it likes, and Japanese has no blanks to
// wrap at ("下/さい"): the text gets the width of its longest line, as far as the screen allows.
void KeepLinesWhole(QMessageBox& box, const QString& text) {
    auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
    if (!label) return;
    const QFontMetrics metrics(label->font());
    int widest = 0;
    for (const QString& line : text.split(QRegularExpression(QStringLiteral("\\r\\n|\\n|\\r"))))
        widest = std::max(widest, metrics.horizontalAdvance(line));
    const QScreen* screen = box.screen();
    const int room = screen ? screen->availableGeometry().width() * 3 / 5 : 600;
    label->setMinimumWidth(std::min(widest + 2, room));
}

QString StartFolder(const QString& requested) { return requested.isEmpty() ? g_lastFolder : requested; }

class TQtDialogs : public TDialogs {
public:
    TMsgResult MessageBox(const QString& caption, const QString& text, TMsgButtons buttons,
                          TMsgIcon icon) override {
        if (g_dismissed) {
            Trace("answered", text);
            return buttons == TMsgButtons::YesNo ? TMsgResult::Yes : TMsgResult::Ok;
        }
        QMessageBox box(Owner());
        box.setWindowTitle(caption);
        box.setText(text);
        switch (icon) {
        case TMsgIcon::Information: box.setIcon(QMessageBox::Information); break;
        case TMsgIcon::Exclamation: box.setIcon(QMessageBox::Warning); break;
        case TMsgIcon::Error: box.setIcon(QMessageBox::Critical); break;
        case TMsgIcon::Question: box.setIcon(QMessageBox::Question); break;
        case TMsgIcon::None: break;
        }
        QPushButton* yes = nullptr;
        if (buttons == TMsgButtons::YesNo) {
            yes = box.addButton(QCoreApplication::translate("TDialogs", "はい(&Y)"), QMessageBox::YesRole);
            box.addButton(QCoreApplication::translate("TDialogs", "いいえ(&N)"), QMessageBox::NoRole);
            box.setDefaultButton(yes);
        } else {
            box.setStandardButtons(QMessageBox::Ok);
            box.setDefaultButton(QMessageBox::Ok);
        }
        KeepLinesWhole(box, text);
        QPushButton* byDefault = box.defaultButton();
        const TOpenDialog open(box, [byDefault] { byDefault->click(); });
        Trace("open", text);
        box.exec();
        if (buttons == TMsgButtons::YesNo) return box.clickedButton() == yes ? TMsgResult::Yes : TMsgResult::No;
        return TMsgResult::Ok;
    }

    QString OpenFile(const TFileDialogRequest& request) override {
        QFileDialog dlg(Owner(), request.Title, StartFolder(request.InitialDir));
        Prepare(dlg, request);
        dlg.setAcceptMode(QFileDialog::AcceptOpen);
        dlg.setFileMode(request.MustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
        return RunFileDialog(dlg, true);
    }

    QStringList OpenFiles(const TFileDialogRequest& request) override {
        QFileDialog dlg(Owner(), request.Title, StartFolder(request.InitialDir));
        Prepare(dlg, request);
        dlg.setAcceptMode(QFileDialog::AcceptOpen);
        dlg.setFileMode(QFileDialog::ExistingFiles);
        return RunFileDialogForAll(dlg, true);
    }

    QString SaveFile(const TFileDialogRequest& request) override {
        QFileDialog dlg(Owner(), request.Title, StartFolder(request.InitialDir));
        Prepare(dlg, request);
        dlg.setAcceptMode(QFileDialog::AcceptSave);
        dlg.setFileMode(QFileDialog::AnyFile);
        dlg.setOption(QFileDialog::DontConfirmOverwrite, !request.OverwritePrompt);
        const QString chosen = RunFileDialog(dlg, true);
        if (request.ChosenFilter) *request.ChosenFilter = int(dlg.nameFilters().indexOf(dlg.selectedNameFilter())) + 1;
        return chosen;
    }

    QString SelectFolder(const QString& title, const QString& root) override {
        QFileDialog dlg(Owner(), title, root);
        dlg.setFileMode(QFileDialog::Directory);
        dlg.setOption(QFileDialog::ShowDirsOnly, true);
        return RunFileDialog(dlg, false);
    }

private:
    static void Prepare(QFileDialog& dlg, const TFileDialogRequest& request) {
        // The descriptions carry their own pattern text where they want one.
        dlg.setOption(QFileDialog::HideNameFilterDetails, true);
        const QStringList filters = QtNameFilters(request.Filter);
        if (!filters.isEmpty()) {
            dlg.setNameFilters(filters);
            const int index = request.FilterIndex - 1;
            if (index >= 0 && index < filters.size()) dlg.selectNameFilter(filters[index]);
        }
        if (!request.FileName.isEmpty()) dlg.selectFile(request.FileName);
    }
};

TDialogs* g_dialogs = nullptr;

}  // namespace

QStringList QtNameFilters(const QString& filter) {
    QStringList out;
    const QStringList parts = filter.split(QLatin1Char('|'));
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns;
        for (const QString& p : parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            // "*.*" means every file, also those without a dot.
            if (p == QLatin1String("*.*")) {
                patterns << QStringLiteral("*");
                continue;
            }
            // Windows matches names without regard to case; offer both spellings.
            patterns << p;
            if (p.toUpper() != p) patterns << p.toUpper();
            if (p.toLower() != p) patterns << p.toLower();
        }
        patterns.removeDuplicates();
        out << parts[i] + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
    }
    return out;
}

namespace {

// Texts that Qt's own Japanese translation lacks: the file dialog's type of a folder.
class TMissingQtTexts : public QTranslator {
public:
    using QTranslator::QTranslator;
    bool isEmpty() const override { return false; }
    QString translate(const char* context, const char* source, const char* disambiguation, int n) const override {
        Q_UNUSED(disambiguation);
        Q_UNUSED(n);
        if (qstrcmp(context, "QAbstractFileIconProvider") != 0) return {};
        static const struct {
            const char* Source;
            const char* Japanese;
        } kTexts[] = {{"Folder", "フォルダ"}, {"Drive", "ドライブ"}, {"File", "ファイル"},
                      {"Shortcut", "ショートカット"}, {"Unknown", "不明"}};
        for (const auto& t : kTexts)
            if (qstrcmp(source, t.Source) == 0) return QString::fromUtf8(t.Japanese);
        return {};
    }
};

}  // namespace

bool InstallQtTranslation() {
    QCoreApplication::installTranslator(new TMissingQtTexts(QCoreApplication::instance()));
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (!translator->load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}

void ForgetLastFolder() { g_lastFolder.clear(); }

TDialogs& Dialogs() {
    static TQtDialogs real;
    return g_dialogs ? *g_dialogs : real;
}

void SetDialogs(TDialogs* dialogs) { g_dialogs = dialogs; }

void DismissDialogs() {
    g_dismissed = true;
    // Innermost first, from a copy: an answer may run code that opens or ends dialogs.
    const auto open = g_open;
    for (auto it = open.rbegin(); it != open.rend(); ++it) it->second();
}
