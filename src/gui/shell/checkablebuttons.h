#pragma once

class QToolButton;

// A checkable tool button that keyboard users and assistive tools can
// work.  Buttons of a tool bar take no focus by default: this one is
// reached by Tab, and Space presses it.  Assistive tools toggle a
// checkable button, which emits no click and does not trigger its action
// (only its checked state follows): windows act on the action's (or the
// button's) toggled signal.  A toggle that would leave an exclusive group
// of actions without a checked one is undone: one of them stays down, as
// with the mouse.
void MakeCheckableButtonReachable(QToolButton *button);
