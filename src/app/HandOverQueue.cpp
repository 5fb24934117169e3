#include "app/HandOverQueue.h"

#include <QTimer>

#include "app/MainWindow.h"

THandOverQueue::THandOverQueue(TMainWindow& main, TRun run, QObject* parent)
    : QObject(parent), main_(main), run_(std::move(run)), retry_(new QTimer(this)) {
    retry_->setInterval(kRetryMs);
    connect(retry_, &QTimer::timeout, this, &THandOverQueue::TakeNext);
}

void THandOverQueue::Add(std::vector<std::string> args) {
    pending_.push_back(std::move(args));
    main_.BringToFront();
    TakeNext();
}

void THandOverQueue::TakeNext() {
    // A run started by one command line pumps messages: the next waits for it to end.
    while (!pending_.empty() && !running_ && !main_.Busy()) {
        const std::vector<std::string> args = std::move(pending_.front());
        pending_.pop_front();
        running_ = true;
        run_(args);
        running_ = false;
    }
    if (pending_.empty()) retry_->stop();
    else if (!retry_->isActive()) retry_->start();
}
