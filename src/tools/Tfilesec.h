// The duplicate search: files with the current file's size and CRC32 on the chosen drives.
#pragma once

#include <QDialog>
#include <vector>

#include "platform/Path.h"

class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTabWidget;
class QTreeWidget;
class QWidget;

class Tfilesec : public QDialog {
    Q_OBJECT

public:
    // `currentPath` is the main window's current file; centred over `owner`.
    Tfilesec(QWidget* owner, const TPath& currentPath);

    void Button1Click();
    void Button2Click();
    void Button3Click();
    void Button4Click();
    void Button5Click();
    void ListView2DblClick();

    bool Searching() const { return FSearching; }

    QTabWidget* PageControl1 = nullptr;
    QWidget *TabSheet1 = nullptr, *TabSheet2 = nullptr;
    QTreeWidget* ListView1 = nullptr;
    QLineEdit* Edit1 = nullptr;
    QPushButton *Button1 = nullptr, *Button2 = nullptr, *Button3 = nullptr, *Button4 = nullptr,
                *Button5 = nullptr;
    QTreeWidget* ListView2 = nullptr;
    QLabel *Label1 = nullptr, *Label2 = nullptr;
    QProgressBar* ProgressBar1 = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    void FormCreate();
    void SetIdle(bool idle);

    TPath currentPath_;
    std::vector<TPath> drives_;   // the path of each drive row
    std::vector<TPath> found_;    // the path of each result row
    bool FSearching = false;
    bool FStop = false;
};

// The line under the results: the count and how to open a folder.
QString DuplicateSummary(int count);
