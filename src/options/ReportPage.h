// The options dialog's page "レポート作成": the machine and the program files as gathered once
// at start-up, saved as a file or copied for a support request.
#pragma once

#include <QString>
#include <QWidget>

class QLabel;
class QPushButton;
class TTavrenne;

class TReportPage : public QWidget {
    Q_OBJECT

public:
    TReportPage(TTavrenne& main, QWidget* parent);

    // Fills the labels from the running machine; once per run, at the end of start-up.
    void Gather();
    // "&ErrorLog" is enabled exactly when ErrorLog.txt is in the program's folder.
    void RefreshErrorLogButton();
    // The report to `fileName`, or to the clipboard when it is empty.
    void BuildReport(const QString& fileName);

    QPushButton* Button7 = nullptr;

private:
    TTavrenne& main_;
};
