// The options pages that show and switch the desktop's state: the .MD5 association, the
// file-manager actions (shell integration) and the launchers (shortcuts).
#pragma once

#include <QWidget>

#include "platform/Integration.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QListWidget;
class QPushButton;
class QRadioButton;
class TMainWindow;

// "MD5ファイルの関連付け" (TabSheet2).
class TAssociationPage : public QWidget {
    Q_OBJECT

public:
    // The desktop's folders are read from the environment once, here.
    TAssociationPage(TMainWindow& main, QWidget* parent);

    // Each time the dialog is shown: RadioGroup2 from the desktop's state (and the preview).
    void ShowState();
    // Start-up: whether the association is present, and applying it again.
    bool AssociationPresent();
    void ReapplyAssociation();

    void BitBtn2Click();
    // The icon list's selected index, -1 when none.
    int SelectedIcon() const;
    // The association state behind the page (FIconIndex, the preview's facts).
    const TAssociationControl& Association() const { return association_; }

    QLabel* Label16 = nullptr;
    QLabel* Image5 = nullptr;
    QListWidget* IconList = nullptr;
    QGroupBox* RadioGroup2 = nullptr;
    QRadioButton* RadioGroup2Items[2] = {nullptr, nullptr};
    QPushButton* BitBtn2 = nullptr;
    QCheckBox* CheckBox1 = nullptr;   // "#SetingMD5"

private:
    // Image5 as the association control says: shown or hidden, and its icon.
    void ShowPreview();
    // The selection, or FIconIndex should the list have none.
    int AppliedIcon() const;

    TMainWindow& main_;
    TAssociationControl association_;
};

// "シェル統合" (TabSheet3).
class TShellPage : public QWidget {
    Q_OBJECT

public:
    TShellPage(TMainWindow& main, QWidget* parent);

    // Each time the dialog is shown: RadioGroup1 from the desktop's state.
    void ShowState();
    void Button4Click();

    QGroupBox* RadioGroup1 = nullptr;
    QRadioButton* RadioGroup1Items[2] = {nullptr, nullptr};   // "#BackConfig" is item 0
    QPushButton* Button4 = nullptr;

private:
    TMainWindow& main_;
    TAssociationControl association_;
};

// "ShortCut" (TabSheet7).
class TShortcutPage : public QWidget {
    Q_OBJECT

public:
    TShortcutPage(TMainWindow& main, QWidget* parent);

    void BitBtn4Click();

    QCheckBox* CheckBox16 = nullptr;   // desktop
    QCheckBox* CheckBox17 = nullptr;   // send-to
    QComboBox* ComboBox3 = nullptr;
    QCheckBox* CheckBox15 = nullptr;   // start menu, hidden
    QLabel* Label17 = nullptr;
    QPushButton* BitBtn4 = nullptr;

private:
    TMainWindow& main_;
};
