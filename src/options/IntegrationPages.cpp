#include "options/IntegrationPages.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QRadioButton>

// Placeholder until the pages are built: the controls the settings read, nothing more.
TAssociationPage::TAssociationPage(TTavrenne& main, QWidget* parent) : QWidget(parent), main_(main) {
    CheckBox1 = new QCheckBox(QStringLiteral("起動時に関連付けの再設定を行う"), this);
    CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
    CheckBox1->setChecked(true);
}
void TAssociationPage::ShowState() {}
bool TAssociationPage::AssociationPresent() { return false; }
void TAssociationPage::ReapplyAssociation() {}

TShellPage::TShellPage(TTavrenne& main, QWidget* parent) : QWidget(parent), main_(main) {
    RadioGroup1 = new QGroupBox(QStringLiteral("シェル統合"), this);
    RadioGroup1->setObjectName(QStringLiteral("RadioGroup1"));
    auto* radios = new QHBoxLayout(RadioGroup1);
    const char* captions[] = {"シェル統合を無効", "シェル統合を有効"};
    for (int i = 0; i < 2; ++i) {
        RadioGroup1Items[i] = new QRadioButton(QString::fromUtf8(captions[i]), RadioGroup1);
        RadioGroup1Items[i]->setObjectName(QStringLiteral("RadioGroup1Item%1").arg(i));
        radios->addWidget(RadioGroup1Items[i]);
    }
    RadioGroup1Items[0]->setChecked(true);
}
void TShellPage::ShowState() {}

TShortcutPage::TShortcutPage(TTavrenne& main, QWidget* parent) : QWidget(parent), main_(main) {}
