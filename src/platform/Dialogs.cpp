#include "platform/Dialogs.h"

#include <QApplication>
#include <QFileDialog>
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

// The file dialog's choice; cancelled when the program is ending.
QString RunFileDialog(QFileDialog& dlg) {
    if (g_dismissed) {
        Trace("answered", dlg.windowTitle());
        return QString();
    }
    const TOpenDialog open(dlg, [&dlg] { dlg.reject(); });
    Trace("open", dlg.windowTitle());
    return dlg.exec() == QDialog::Accepted && !dlg.selectedFiles().isEmpty() ? dlg.selectedFiles().first()
                                                                             : QString();
}

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
            yes = box.addButton(QStringLiteral("はい(&Y)"), QMessageBox::YesRole);
            box.addButton(QStringLiteral("いいえ(&N)"), QMessageBox::NoRole);
            box.setDefaultButton(yes);
        } else {
            box.setStandardButtons(QMessageBox::Ok);
            box.setDefaultButton(QMessageBox::Ok);
        }
        QPushButton* byDefault = box.defaultButton();
        const TOpenDialog open(box, [byDefault] { byDefault->click(); });
        Trace("open", text);
        box.exec();
        if (buttons == TMsgButtons::YesNo) return box.clickedButton() == yes ? TMsgResult::Yes : TMsgResult::No;
        return TMsgResult::Ok;
    }

    QString OpenFile(const TFileDialogRequest& request) override {
        QFileDialog dlg(Owner(), request.Title, request.InitialDir);
        Prepare(dlg, request);
        dlg.setAcceptMode(QFileDialog::AcceptOpen);
        dlg.setFileMode(request.MustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
        return RunFileDialog(dlg);
    }

    QString SaveFile(const TFileDialogRequest& request) override {
        QFileDialog dlg(Owner(), request.Title, request.InitialDir);
        Prepare(dlg, request);
        dlg.setAcceptMode(QFileDialog::AcceptSave);
        dlg.setFileMode(QFileDialog::AnyFile);
        dlg.setOption(QFileDialog::DontConfirmOverwrite, !request.OverwritePrompt);
        return RunFileDialog(dlg);
    }

    QString SelectFolder(const QString& title, const QString& root) override {
        QFileDialog dlg(Owner(), title, root);
        dlg.setFileMode(QFileDialog::Directory);
        dlg.setOption(QFileDialog::ShowDirsOnly, true);
        return RunFileDialog(dlg);
    }

private:
    static void Prepare(QFileDialog& dlg, const TFileDialogRequest& request) {
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
