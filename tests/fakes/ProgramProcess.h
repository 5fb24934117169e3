// The built tavrenne started as a separate process from a private program folder, with its
// own runtime folder (where the single-instance lock and hand-over socket live).
#pragma once

#include <QByteArray>
#include <QProcess>
#include <QStringList>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

#include "support/TempDir.h"

class ProgramProcess : public ::testing::Test {
protected:
    void SetUp() override;

    // The program's real dialogs report on standard error when a box opens or is answered unseen.
    // `inChild` (may be empty) runs in the child just before the program starts.
    std::unique_ptr<QProcess> Start(const QStringList& args, std::function<void()> inChild = {});
    // Polls, with a generous limit, until `done` holds; collects what the program wrote on
    // standard error meanwhile. False when it did not hold or the program ended first.
    bool WaitUntil(QProcess& p, const std::function<bool()>& done);
    // Sends `sig` and waits for the program to end by itself: its exit code, or -1 when it
    // did not end within the limit (then it is killed).
    int SignalAndWait(QProcess& p, int sig);
    // The program said `text` on standard error (as collected so far).
    bool Said(const QString& text) const { return QString::fromUtf8(err_).contains(text); }

    TempDir dir_;
    std::filesystem::path prog_, run_;
    QByteArray err_;
};
