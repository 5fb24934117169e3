#include "components/QL_TrayIDlg.h"

#include <QWidget>

// Placeholder until the notice is built: a hidden window and nothing drawn.
TQL_TrayInfoDlg::TQL_TrayInfoDlg(QObject* owner) : QObject(owner), window_(new QWidget) {}
TQL_TrayInfoDlg::~TQL_TrayInfoDlg() { delete window_; }
void TQL_TrayInfoDlg::SetBitmapImage(const QImage&) {}
void TQL_TrayInfoDlg::SetDlgButtonVisible(bool) {}
void TQL_TrayInfoDlg::ShowDlg() {}
void TQL_TrayInfoDlg::HideDlg() {}
void TQL_TrayInfoDlg::DrawDlgText(const QString&, int, int, const QFont&, bool) {}
void TQL_TrayInfoDlg::ResetDlgImage() {}
