// The log list, the comparison with an expected digest and the result text.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QDateTime>
#include <QFontMetrics>
#include <QLocale>
#include <QStyle>
#include <QTreeWidget>
#include <algorithm>

#include "analysis/ResultText.h"
#include "app/Tavrenne.h"
#include "engine/FileUtils.h"
#include "platform/Dialogs.h"
#include "platform/Platform.h"
#include "platform/TextFile.h"

namespace {

const QString kEquals = QString(79, QLatin1Char('='));
const char* const kTextFilter = QT_TRANSLATE_NOOP("TTavrenne", "テキストファイル(*.txt)|*.txt");

QString KindPrefix(int kind) { return QString::fromLatin1(LogKindPrefix(kind)); }

}  // namespace

void TTavrenne::AddLog(const QString& text, int kind, bool scroll) {
    auto* item = new QTreeWidgetItem();
    item->setData(0, Qt::UserRole, kind);
    if (kind >= 0 && size_t(kind) < logImages_.size()) item->setIcon(0, QIcon(logImages_[size_t(kind)]));
    item->setText(1, NowText());
    item->setText(2, text);
    ListView1->addTopLevelItem(item);
    if (scroll && !ListView1->isHidden()) {
        // The new line comes into sight wherever the list stood (lines added unscrolled, or
        // before the window was shown, would otherwise leave it behind), with the scroll bar
        // laid out for the new row count before both are painted.
        ListView1->doItemsLayout();
        ListView1->scrollToItem(item);
        ListView1->repaint();
    }
}

QString LogTimeText(const QLocale& locale, const QDateTime& moment) {
    // Qt's long time ends in the time zone ("t"): drop it and the blanks around it.
    const QString full = locale.timeFormat(QLocale::LongFormat);
    QString format;
    bool quoted = false;
    for (const QChar c : full) {
        if (c == QLatin1Char('\'')) quoted = !quoted;
        if (!quoted && c == QLatin1Char('t')) continue;
        format += c;
    }
    format = format.simplified();
    return locale.toString(moment.date(), QLocale::ShortFormat) + QLatin1Char(' ') + locale.toString(moment.time(), format);
}

int LogTimeColumnWidth(const QTreeWidget& list, const QLocale& locale) {
    // The widest text of a year: every month's name, a two-digit day, a morning and an
    // afternoon time.
    const QFontMetrics metrics(list.font());
    int widest = 0;
    for (int month = 1; month <= 12; ++month)
        for (const QTime time : {QTime(11, 58, 58), QTime(23, 58, 58)})
            widest = std::max(widest, metrics.horizontalAdvance(
                                          LogTimeText(locale, QDateTime(QDate(2088, month, 28), time))));
    // What the view keeps free on either side of a cell's text, and a little air.
    const int margin = 2 * (list.style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &list) + 1) + 6;
    return std::max(140, widest + margin);
}

QStringList TTavrenne::LogFileLines() const {
    QStringList lines{kEquals};
    for (int i = 0; i < ListView1->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = ListView1->topLevelItem(i);
        lines << KindPrefix(item->data(0, Qt::UserRole).toInt()) + item->text(1) + QLatin1Char(' ') + item->text(2);
    }
    lines << kEquals;
    return lines;
}

void TTavrenne::SaveLog() {
    if (ListView1->topLevelItemCount() == 0) return;
    TFileDialogRequest request;
    request.Filter = tr(kTextFilter);
    request.OverwritePrompt = true;
    const TPath folder = ProgramFolderPath();
    request.InitialDir = folder.ToQString();
    request.FileName = folder.Join("Tavrenne_Log.txt").ToQString();
    const TPath file(Dialogs().SaveFile(request));
    if (file.IsEmpty()) return;
    QString reason;
    if (!WriteTextFileCp932(file, LogFileLines(), &reason)) ShowWriteError(file, reason);
}

void TTavrenne::ShowWriteError(const TPath& file, const QString& reason) {
    Dialogs().MessageBox(applicationTitle_,
                         tr("ファイル %1 に書き込めません。\n%2").arg(file.Display(), reason),
                         TMsgButtons::Ok, TMsgIcon::Error);
}

void TTavrenne::CompareDigest(TDigestKind which) {
    const QLineEdit* box = DigestBox(which);
    const TComparisonResult r = CompareDigestText(which, box->text().toStdString(), Edit1->text().toStdString());
    if (r.Cleaned) Edit1->setText(QString::fromStdString(r.Expected));
    AddLog(QString::fromStdString(r.Line), r.Kind);
    CompareRemark = QString::fromStdString(r.Remark);
}

void TTavrenne::CheckBox3Click() {
    const bool on = CheckBox3->isChecked();
    Edit1->setEnabled(on);
    ComboBox1->setEnabled(Edit1->isEnabled());
    if (on) Edit1->clear();
    // Window colour when on, button face when off.
    QPalette pal = Edit1->palette();
    const QPalette base = QApplication::palette(Edit1);
    pal.setColor(QPalette::All, QPalette::Base, base.color(on ? QPalette::Base : QPalette::Button));
    Edit1->setPalette(pal);
}

QStringList TTavrenne::ResultLines() const {
    TResultFields f;
    f.Title = applicationTitle_.toStdString();
    f.Now = NowText().toStdString();
    f.Name = Label1->text().toStdString();
    f.PathCaption = StatusPanels[0]->text().toStdString();
    f.Path = currentPath_.Display().toStdString();
    f.Size = Label2->text().toStdString();
    f.Version = Label3->text().toStdString();
    f.Time = Label4->text().toStdString();
    f.Copyright = Label5->text().toStdString();
    f.ReadOnly = CheckBox1->isChecked();
    f.Hidden = CheckBox2->isChecked();
    f.CRC32 = LabeledEdit1->text().toStdString();
    f.MD5 = LabeledEdit2->text().toStdString();
    f.SHA1 = LabeledEdit3->text().toStdString();
    for (const TDigestKindInfo& k : DigestKinds())
        if (!k.InAll) f.More.emplace_back(k.Label, DigestBox(k.Kind)->text().toStdString());
    QStringList lines;
    for (const std::string& line : ::ResultLines(f)) lines << QString::fromStdString(line);
    return lines;
}

bool TTavrenne::WriteResults(const TPath& file) {
    const QStringList lines = ResultLines();
    if (file.IsEmpty()) {
        QString text;
        for (const QString& line : lines) text += line + QStringLiteral("\r\n");
        CopyToClipboard(text);
        return true;
    }
    QString reason;
    if (WriteTextFileCp932(file, lines, &reason)) return true;
    ShowWriteError(file, reason);
    return false;
}

void TTavrenne::CopyToClipboard(const QString& text) { Platform().SetClipboardText(text); }

void TTavrenne::Action6Execute() { WriteResults(TPath()); }

void TTavrenne::Action7Execute() { SaveResultsAs(); }

void TTavrenne::SaveResultsAs() {
    TFileDialogRequest request;
    request.Filter = tr(kTextFilter);
    request.OverwritePrompt = true;
    request.FileName = QString::fromStdString(ChangeFileExt(ExtractFileName(currentPath_.Display().toStdString()), ".txt"));
    TPath file(Dialogs().SaveFile(request));
    if (file.IsEmpty()) return;
    if (QString::fromStdString(ExtractFileExt(file.Bytes())).toLower() != QStringLiteral(".txt"))
        file = TPath(ChangeFileExt(file.Bytes(), ".txt"));
    WriteResults(file);
}

void TTavrenne::DigestBoxesToCase(bool upper) {
    for (QLineEdit* edit : {LabeledEdit1, LabeledEdit2, LabeledEdit3, LabeledEdit4, LabeledEdit5}) {
        if (!edit->text().isEmpty()) edit->setText(upper ? edit->text().toUpper() : edit->text().toLower());
    }
}

void TTavrenne::Action17Execute() {
    Action17->setChecked(true);
    DigestBoxesToCase(true);
}

void TTavrenne::Action18Execute() {
    Action18->setChecked(true);
    DigestBoxesToCase(false);
}

void TTavrenne::Action21Execute() {
    if (!currentPath_.IsEmpty())
        CopyToClipboard(QString::fromStdString(ExtractFileName(currentPath_.Display().toStdString())));
}

void TTavrenne::Action22Execute() {
    if (!currentPath_.IsEmpty()) CopyToClipboard(currentPath_.Display());
}
