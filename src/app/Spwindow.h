// The start-up splash: the program's picture with its version, gone after 3.7 seconds.
#pragma once

#include <QWidget>

class QLabel;
class QTimer;
class TMainWindow;

class Tspwindow : public QWidget {
    Q_OBJECT
public:
    explicit Tspwindow(TMainWindow& main);
    ~Tspwindow() override;
    QLabel* SpImage = nullptr;
    QTimer* Timer = nullptr;
    QString VersionText;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    QPixmap picture_;
    bool drawn_ = false;
};
