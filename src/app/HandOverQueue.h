// Command lines that later starts handed over, kept until the main window is free to take
// them: one at a time, in the order they came, never dropped while a run or a box is on.
#pragma once

#include <QObject>
#include <deque>
#include <functional>
#include <string>
#include <vector>

class QTimer;
class TMainWindow;

class THandOverQueue : public QObject {
    Q_OBJECT

public:
    using TRun = std::function<void(const std::vector<std::string>&)>;

    // `run` takes one command line (the options form's command-line rules).
    THandOverQueue(TMainWindow& main, TRun run, QObject* parent = nullptr);

    // Brings the window to the front and takes `args` as soon as it is free.
    void Add(std::vector<std::string> args);
    size_t Pending() const { return pending_.size(); }

    // How often a busy window is asked again.
    static constexpr int kRetryMs = 200;

private:
    void TakeNext();

    TMainWindow& main_;
    TRun run_;
    std::deque<std::vector<std::string>> pending_;
    QTimer* retry_ = nullptr;
    bool running_ = false;
};
