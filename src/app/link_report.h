#pragma once

#include <QString>

namespace tq {

class MessageBoxes;
class StatusLine;
struct InitialOutcome;

// The message that tells the user, once, how to get the right to open the
// meter's device node.
QString permissionMessage(const QString& resource, const QString& reason);

// Tells the status line how the link stands after each Initial, and the
// user once per program how to get permission on a meter that is there but
// may not be opened.
class LinkReport {
  public:
    LinkReport(StatusLine& line, MessageBoxes& boxes, bool simulated);

    void afterInitial(const InitialOutcome& outcome);

  private:
    StatusLine& line_;
    MessageBoxes& boxes_;
    bool simulated_;
    bool permissionExplained_ = false;
};

}  // namespace tq
