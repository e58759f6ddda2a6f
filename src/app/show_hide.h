#pragma once

#include "panel/panel.h"

// The window's own small commands: the message frame hides on a click, and
// two unmarked patches open the service panels one after the other.
namespace tq {

void FrameMsg_Click(Panel& p);
void LabMsg_Click(Panel& p);
void Label3_Click(Panel& p);
void LabF7_Click(Panel& p);

void connectShowHide(Panel& p);

}  // namespace tq
