#include "platform/Dialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QStringList>

namespace {

QWidget* Owner() {
    QWidget* w = QApplication::activeModalWidget();
    if (!w) w = QApplication::activeWindow();
    return w;
}

class TQtDialogs : public TDialogs {
public:
    TMsgResult MessageBox(const QString& caption, const QString& text, TMsgButtons buttons,
                          TMsgIcon icon) override {
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
        if (buttons == TMsgButtons::YesNo) {
            QPushButton* yes = box.addButton(QStringLiteral("はい(&Y)"), QMessageBox::YesRole);
            box.addButton(QStringLiteral("いいえ(&N)"), QMessageBox::NoRole);
            box.setDefaultButton(yes);
            box.exec();
            return box.clickedButton() == yes ? TMsgResult::Yes : TMsgResult::No;
        }
        box.setStandardButtons(QMessageBox::Ok);
        box.exec();
        return TMsgResult::Ok;
    }

    QString OpenFile(const TFileDialogRequest& request) override {
        QFileDialog dlg(Owner(), request.Title, request.InitialDir);
        Prepare(dlg, request);
        dlg.setAcceptMode(QFileDialog::AcceptOpen);
        dlg.setFileMode(request.MustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
        return dlg.exec() == QDialog::Accepted && !dlg.selectedFiles().isEmpty() ? dlg.selectedFiles().first()
                                                                                 : QString();
    }

    QString SaveFile(const TFileDialogRequest& request) override {
        QFileDialog dlg(Owner(), request.Title, request.InitialDir);
        Prepare(dlg, request);
        dlg.setAcceptMode(QFileDialog::AcceptSave);
        dlg.setFileMode(QFileDialog::AnyFile);
        dlg.setOption(QFileDialog::DontConfirmOverwrite, !request.OverwritePrompt);
        return dlg.exec() == QDialog::Accepted && !dlg.selectedFiles().isEmpty() ? dlg.selectedFiles().first()
                                                                                 : QString();
    }

    QString SelectFolder(const QString& title, const QString& root) override {
        return QFileDialog::getExistingDirectory(Owner(), title, root);
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
