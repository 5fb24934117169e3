#include "options/ReportPage.h"

#include <QPushButton>

// Placeholder until the page is built.
TReportPage::TReportPage(TTavrenne& main, QWidget* parent) : QWidget(parent), main_(main) {
    Button7 = new QPushButton(QStringLiteral("&ErrorLog"), this);
    Button7->setObjectName(QStringLiteral("Button7"));
    Button7->setEnabled(false);
}
void TReportPage::Gather() {}
void TReportPage::RefreshErrorLogButton() {}
void TReportPage::BuildReport(const QString&) {}
