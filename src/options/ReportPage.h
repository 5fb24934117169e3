// The options dialog's page "レポート作成": the machine and the program files as gathered once
// at start-up, saved as a file or copied for a support request.
#pragma once

#include <QString>
#include <QWidget>
#include <functional>

#include "engine/SystemReport.h"
#include "platform/Path.h"

class QGroupBox;
class QLabel;
class QPushButton;
class TMainWindow;

class TReportPage : public QWidget {
    Q_OBJECT

public:
    // Laid out for a 588 x 450 dialog whose tree and title strip keep the left and top.
    TReportPage(TMainWindow& main, QWidget* parent);

    // Fills the labels from the running machine; once per run, at the end of start-up.
    void Gather();
    // The same from facts already read.
    void Gather(const TSystemFacts& facts);
    // "&ErrorLog" is enabled exactly when ErrorLog.txt is in the program's folder.
    void RefreshErrorLogButton();
    // The report to `file`, or to the clipboard when it is empty.
    void BuildReport(const TPath& file);

    void Button7Click();
    void Button8Click();
    void Button9Click();

    QGroupBox* GroupBox3 = nullptr;
    QLabel *Label2 = nullptr, *Label5 = nullptr, *Label6 = nullptr, *Label13 = nullptr, *Label14 = nullptr;
    QLabel *Label7 = nullptr, *Label8 = nullptr, *Label9 = nullptr, *Label10 = nullptr, *Label11 = nullptr,
           *Label12 = nullptr;
    QGroupBox* GroupBox4 = nullptr;
    QLabel *Label18 = nullptr, *Label19 = nullptr;
    QPushButton *Button7 = nullptr, *Button8 = nullptr, *Button9 = nullptr;

    QString FUserName;
    // The time the report is stamped with; tests fix it.
    std::function<TDateTimeParts()> Now = NowParts;

private:
    TPath ErrorLogPath() const;
    QLabel* FeatureLabel(size_t i) const;

    TMainWindow& main_;
};
