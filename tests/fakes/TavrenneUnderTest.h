// The main window with its controls and named fields within reach of its tests. The windows
// above it never see these: they have TMainWindow.
#pragma once

#include "app/Tavrenne.h"

class TTavrenneUnderTest : public TTavrenne {
public:
    using TTavrenne::TTavrenne;

    // AllCheck, then the later kinds off again: CRC32, SHA-1 and MD5 as before they came.
    void CheckTheThree() {
        Button4->click();
        CheckBox8->setChecked(false);
        CheckBox9->setChecked(false);
    }

    // Puts a current file in place without analysing it.
    void SetCurrentPath(const TPath& path) { currentPath_ = path; }

    using TTavrenne::BuildText;
    using TTavrenne::MascotScriptText;
    using TTavrenne::CompareRemark;
    using TTavrenne::CurrentEngine;
    using TTavrenne::FullHeight;
    using TTavrenne::HideLogAtShow;
    using TTavrenne::RecentFiles;
    using TTavrenne::ShownHidden;
    using TTavrenne::ShownReadOnly;
    using TTavrenne::SuppressChangeCheck;
    using TTavrenne::WatchedAge;

    using TTavrenne::ActionMainMenuBar1;
    using TTavrenne::BitBtn1;
    using TTavrenne::Button1;
    using TTavrenne::Button2;
    using TTavrenne::Button3;
    using TTavrenne::Button4;
    using TTavrenne::Button5;
    using TTavrenne::CheckBox1;
    using TTavrenne::CheckBox2;
    using TTavrenne::CheckBox3;
    using TTavrenne::CheckBox4;
    using TTavrenne::CheckBox5;
    using TTavrenne::CheckBox6;
    using TTavrenne::CheckBox7;
    using TTavrenne::CheckBox8;
    using TTavrenne::CheckBox9;
    using TTavrenne::ComboBox1;
    using TTavrenne::ControlBar1;
    using TTavrenne::Edit1;
    using TTavrenne::GroupBox1;
    using TTavrenne::Image1;
    using TTavrenne::Label1;
    using TTavrenne::Label2;
    using TTavrenne::Label3;
    using TTavrenne::Label4;
    using TTavrenne::Label5;
    using TTavrenne::Label6;
    using TTavrenne::LabeledEdit1;
    using TTavrenne::LabeledEdit2;
    using TTavrenne::LabeledEdit3;
    using TTavrenne::LabeledEdit4;
    using TTavrenne::LabeledEdit5;
    using TTavrenne::ListView1;
    using TTavrenne::N1;
    using TTavrenne::N2;
    using TTavrenne::Panel1;
    using TTavrenne::PopupMenu1;
    using TTavrenne::ProgressBar1;
    using TTavrenne::QL_SSTP1;
    using TTavrenne::RecentMenu;
    using TTavrenne::SpeedButton1;
    using TTavrenne::StatusBar1;
    using TTavrenne::StatusPanels;
    using TTavrenne::SystemMenu;
    using TTavrenne::ToolBarA;

    using TTavrenne::Action1;
    using TTavrenne::Action2;
    using TTavrenne::Action3;
    using TTavrenne::Action4;
    using TTavrenne::Action5;
    using TTavrenne::Action6;
    using TTavrenne::Action7;
    using TTavrenne::Action8;
    using TTavrenne::Action10;
    using TTavrenne::Action11;
    using TTavrenne::Action12;
    using TTavrenne::Action13;
    using TTavrenne::Action14;
    using TTavrenne::Action15;
    using TTavrenne::Action16;
    using TTavrenne::Action17;
    using TTavrenne::Action18;
    using TTavrenne::Action19;
    using TTavrenne::Action20;
    using TTavrenne::Action21;
    using TTavrenne::Action22;
};
