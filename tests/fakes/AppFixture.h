// A real main window with recording fakes for dialogs, platform and settings, a fixed clock
// and no waiting.
#pragma once

#include <gtest/gtest.h>

#include <QString>
#include <QtWidgets>
#include <QStringList>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/Tavrenne.h"
#include "fakes/TavrenneUnderTest.h"
#include "fakes/FakeDialogs.h"
#include "fakes/FakePlatform.h"
#include "app/SettingsAccess.h"
#include "support/RunLog.h"
#include "support/TempDir.h"

// The digests of "abc" and the elapsed-time line of a run within the same second.
inline constexpr const char* kCrcAbc = "352441c2";
inline constexpr const char* kMd5Abc = "900150983cd24fb0d6963f7d28e17f72";
inline constexpr const char* kSha1Abc = "a9993e364706816aba3e25717850c26c9cd0d89d";
inline const QString kElapsedZero = QStringLiteral("経過時間:  0時間 0分 0秒");

struct TLogLine {
    QString Text;
    int Kind;
    bool operator==(const TLogLine&) const = default;
};
void PrintTo(const TLogLine& line, std::ostream* os);
// The lines of an expected run log as the window shows them.
std::vector<TLogLine> Expected(const TRunLog& log);
void PrintTo(const QString& text, std::ostream* os);
void PrintTo(const TPath& path, std::ostream* os);
// Paths given as Qt text (as a dialog or a drop gives them), and paths back as that text.
QList<TPath> Paths(const QStringList& texts);
QStringList PathTexts(const QList<TPath>& paths);

class AppFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A file in the temporary folder with the given bytes; returns its path.
    QString MakeFile(const QString& name, const std::string& bytes);
    QString MakeFile(const QString& name, size_t size, char fill);
    // The log from line `from` on.
    std::vector<TLogLine> Log(int from = 0) const;
    int LogCount() const;
    // Runs `action` at the first message pump during which `when` holds (checked at every pump).
    void AtPump(std::function<bool()> when, std::function<void()> action);
    // Settings for files that pump: 1 KB buffers.
    void SmallBuffers();

    std::unique_ptr<TempDir> dir_;
    TFakeDialogs dialogs_;
    TFakePlatform platform_;
    TRecordSettings settings_;
    std::unique_ptr<TTavrenneUnderTest> w_;
    std::vector<int> waits_;
    uint32_t tick_ = 5000;
    int pumps_ = 0;
    static const QString kNow;
};
