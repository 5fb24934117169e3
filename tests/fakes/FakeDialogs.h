// Records every modal request and answers from a script; never shows anything.
#pragma once

#include <QString>
#include <deque>
#include <vector>

#include "platform/Dialogs.h"

struct TRecordedDialog {
    QString Kind;      // "message", "open", "save", "folder"
    QString Caption;
    QString Text;
    TMsgButtons Buttons = TMsgButtons::Ok;
    TMsgIcon Icon = TMsgIcon::None;
    TFileDialogRequest Request;
};

class TFakeDialogs : public TDialogs {
public:
    std::vector<TRecordedDialog> Calls;
    std::deque<TMsgResult> MessageAnswers;   // when empty: Ok, or No for questions
    std::deque<QString> FileAnswers;         // open/save/folder; when empty: cancelled
    std::deque<int> FilterAnswers;           // save: the pair chosen; when empty: the one offered

    TMsgResult MessageBox(const QString& caption, const QString& text, TMsgButtons buttons, TMsgIcon icon) override;
    QString OpenFile(const TFileDialogRequest& request) override;
    // The next file answer, split at line feeds into several names.
    QStringList OpenFiles(const TFileDialogRequest& request) override;
    QString SaveFile(const TFileDialogRequest& request) override;
    QString SelectFolder(const QString& title, const QString& root) override;

    std::vector<TRecordedDialog> Messages() const;
};
