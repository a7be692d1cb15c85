// The prompt that guards the full-screen saver: one masked field over the saver,
// above everything, holding the keyboard (and the pointer, where the saver holds it)
// while it is up. The answer is checked against the stored hash (app/Password.h). A
// wrong password is shown for a second, with the field disabled and the prompt deaf
// to every key, before the prompt closes: guessing stays slow. A prompt left alone
// for 30 seconds counts as cancelled.
#pragma once

class QWidget;

namespace qm::qt {

// True when the right password was entered. `over` is the saver window, or nullptr:
// the prompt is centred on its screen, takes its grabs over from it (the pointer's
// too when `pointer`) and hands them back to it before it goes, so that nothing is
// ever without them.
bool RunPasswordPrompt(QWidget* over, bool pointer);

}  // namespace qm::qt
