// Every modal question the program asks goes through here, so tests can script the answers.
#pragma once

#include <QString>
#include <QStringList>

enum class TMsgButtons { Ok, YesNo };
enum class TMsgIcon { None, Information, Exclamation, Error, Question };
enum class TMsgResult { Ok, Yes, No, Cancel };

struct TFileDialogRequest {
    QString Title;
    // Pairs of description and pattern list separated by '|', patterns separated by ';':
    // "テキストファイル(*.txt)|*.txt".
    QString Filter;
    int FilterIndex = 1;          // 1-based pair selected at first
    QString InitialDir;
    QString FileName;             // proposed name
    bool MustExist = false;       // open: the file must exist
    bool OverwritePrompt = false; // save: ask before replacing
    int* ChosenFilter = nullptr;  // when given, receives the 1-based pair in force on OK
};

class TDialogs {
public:
    virtual ~TDialogs() = default;
    virtual TMsgResult MessageBox(const QString& caption, const QString& text, TMsgButtons buttons,
                                  TMsgIcon icon) = 0;
    // The chosen path, or an empty text when the user cancelled.
    virtual QString OpenFile(const TFileDialogRequest& request) = 0;
    // Several existing files at once; none when the user cancelled.
    virtual QStringList OpenFiles(const TFileDialogRequest& request) = 0;
    virtual QString SaveFile(const TFileDialogRequest& request) = 0;
    virtual QString SelectFolder(const QString& title, const QString& root) = 0;
};

// The dialogs in force: the real ones until something else is installed.
TDialogs& Dialogs();
// Installs `dialogs` (not owned); nullptr goes back to the real dialogs.
void SetDialogs(TDialogs* dialogs);

// The program is ending: every real dialog open now is dismissed with its default answer (a
// message box with its default button, a file dialog cancelled) and every later one gives
// that answer at once, unseen. With TAVRENNE_TRACE_DIALOGS set, each real box writes a line
// to standard error as it opens ("dialog open: ") or is answered unseen ("dialog answered: "),
// so tests of the built program know when a box is up.
void DismissDialogs();

// Qt's own texts of the standard dialogs and boxes in Japanese (Qt's translation, from the
// system's Qt translations folder); false when it is not installed. Needs the application.
bool InstallQtTranslation();
// An open or save dialog without a folder of its own opens where the user last chose a file;
// this forgets that folder (tests).
void ForgetLastFolder();

// "desc|*.a;*.b|..." as a list of Qt name filters ("desc (*.a *.A *.b *.B)").
QStringList QtNameFilters(const QString& filter);
