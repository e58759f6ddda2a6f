#pragma once

#include <QObject>

namespace tq {

class Clock;

// The window's one timer. While enabled it fires timer() every interval;
// driven by the Clock so tests run it on virtual time.
class Timer : public QObject {
    Q_OBJECT
  public:
    explicit Timer(QObject* parent = nullptr);
    ~Timer() override;
    void setClock(Clock* clock);
    void setInterval(int ms);
    int interval() const { return interval_; }
    void setEnabled(bool enabled);
    bool isEnabled() const { return enabled_; }
  signals:
    void timer();

  private:
    void arm();
    void disarm();
    Clock* clock_ = nullptr;
    int interval_ = 0;
    bool enabled_ = false;
    int timerId_ = -1;
};

}  // namespace tq
