#include "options/ReportPage.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

#include "app/MainWindow.h"
#include "engine/FileUtils.h"
#include "platform/Dialogs.h"
#include "platform/Place.h"
#include "platform/Platform.h"
#include "platform/TextFile.h"

namespace {

QLabel* Caption(QWidget* parent, const char* name, const char* text, int x, int y, int w, int h = 18) {
    QLabel* label = Place<QLabel>(parent, name, x, y, w, h);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setWordWrap(h > 18);
    label->setTextFormat(Qt::PlainText);   // a processor or system name is never markup
    label->setText(QString::fromUtf8(text));
    return label;
}

QPushButton* Button(QWidget* parent, const char* name, const char* text, int x, int y) {
    QPushButton* button = Place<QPushButton>(parent, name, x, y, 80, 27);
    button->setText(QString::fromUtf8(text));
    return button;
}

}  // namespace

TReportPage::TReportPage(TMainWindow& main, QWidget* parent) : QWidget(parent), main_(main) {
    // The dialog's tree keeps the left 185 pixels, its header and title strip the top.
    GroupBox3 = Place<QGroupBox>(this, "GroupBox3", 200, 115, 376, 166);
    GroupBox3->setTitle(tr("システム情報"));
    // The OS and CPU lines may outgrow the group: they get a second line.
    Label2 = Caption(GroupBox3, "Label2", "OS", 10, 22, 356, 34);
    Label5 = Caption(GroupBox3, "Label5", "MEM", 10, 58, 356);
    Label6 = Caption(GroupBox3, "Label6", "CPU", 10, 78, 356, 34);
    Label13 = Caption(GroupBox3, "Label13", "Mhz", 10, 114, 356);
    Label14 = Caption(GroupBox3, "Label14", "ExInfo :", 10, 140, 56);
    const char* names[] = {"Label7", "Label8", "Label9", "Label10", "Label11", "Label12"};
    QLabel** features[] = {&Label7, &Label8, &Label9, &Label10, &Label11, &Label12};
    int x = 68;
    for (size_t i = 0; i < kFeatureCaptions.size(); ++i) {
        const int w = fontMetrics().horizontalAdvance(QString::fromUtf8(kFeatureCaptions[i])) + 4;
        *features[i] = Caption(GroupBox3, names[i], kFeatureCaptions[i], x, 140, w);
        (*features[i])->setEnabled(false);
        x += w + 8;
    }

    GroupBox4 = Place<QGroupBox>(this, "GroupBox4", 200, 289, 376, 76);
    GroupBox4->setTitle(QStringLiteral("MD5"));
    Label18 = Caption(GroupBox4, "Label18", "Caption", 10, 22, 356);
    Label19 = Caption(GroupBox4, "Label19", "Caption", 10, 46, 356);
    for (QLabel* label : {Label2, Label5, Label6, Label13, Label18, Label19})
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);

    Button8 = Button(this, "Button8", "&Save", 200, 375);
    Button9 = Button(this, "Button9", "&Copy", 288, 375);
    Button7 = Button(this, "Button7", "&ErrorLog", 496, 375);
    Button7->setEnabled(false);
    connect(Button7, &QPushButton::clicked, this, [this] { Button7Click(); });
    connect(Button8, &QPushButton::clicked, this, [this] { Button8Click(); });
    connect(Button9, &QPushButton::clicked, this, [this] { Button9Click(); });
}

QLabel* TReportPage::FeatureLabel(size_t i) const {
    QLabel* const labels[] = {Label7, Label8, Label9, Label10, Label11, Label12};
    return labels[i];
}

void TReportPage::Gather() {
    Gather(ReadSystemFacts(ProgramFilePath().Bytes(), ProgramLayout().HelperProgram()));
}

void TReportPage::Gather(const TSystemFacts& facts) {
    FUserName = QString::fromStdString(facts.UserName);
    const TReportLabels l = GatherLabels(facts);
    Label2->setText(QString::fromStdString(l.Label2));
    Label5->setText(QString::fromStdString(l.Label5));
    Label6->setText(QString::fromStdString(l.Label6));
    Label13->setText(QString::fromStdString(l.Label13));
    for (size_t i = 0; i < l.Features.size(); ++i) FeatureLabel(i)->setEnabled(l.Features[i]);
    Label18->setText(QString::fromStdString(l.Label18));
    Label19->setText(QString::fromStdString(l.Label19));
}

TPath TReportPage::ErrorLogPath() const { return TPath(ProgramLayout().ErrorLogFile()); }

void TReportPage::RefreshErrorLogButton() { Button7->setEnabled(FileExistsByAge(ErrorLogPath().Bytes())); }

void TReportPage::BuildReport(const TPath& file) {
    TReportLabels l;
    l.Label2 = Label2->text().toStdString();
    l.Label5 = Label5->text().toStdString();
    l.Label6 = Label6->text().toStdString();
    l.Label13 = Label13->text().toStdString();
    l.Label14 = Label14->text().toStdString();
    for (size_t i = 0; i < l.Features.size(); ++i) l.Features[i] = FeatureLabel(i)->isEnabledTo(this);
    l.Label18 = Label18->text().toStdString();
    l.Label19 = Label19->text().toStdString();
    QStringList lines;
    for (const std::string& line : ReportLines(l, Now(), main_.ApplicationTitle().toStdString(), FUserName.toStdString()))
        lines << QString::fromStdString(line);

    if (file.IsEmpty()) {
        main_.CopyToClipboard(lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"));
        return;
    }
    QString reason;
    if (!WriteTextFileCp932(file, lines, &reason)) main_.ShowWriteError(file, reason);
}

void TReportPage::Button7Click() {
    const TPath path = ErrorLogPath();
    if (FileExistsByAge(path.Bytes())) Platform().OpenDocument(path.ToQString());
}

void TReportPage::Button8Click() {
    TFileDialogRequest request;
    request.Filter = tr("テキストファイル(*.txt)|*.txt");
    request.FileName = QStringLiteral("Report.txt");
    request.OverwritePrompt = true;
    const TPath path(Dialogs().SaveFile(request));
    if (!path.IsEmpty()) BuildReport(path);
}

void TReportPage::Button9Click() { BuildReport(TPath()); }
