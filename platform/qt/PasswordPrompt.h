// The prompt that guards the full-screen saver: one masked field over the saver,
// above everything, holding the keyboard while it is up. The answer is checked
// against the stored hash (app/Password.h). A wrong password is shown for a second,
// with the field disabled, before the prompt closes: guessing stays slow. A prompt
// left alone for 30 seconds counts as cancelled.
#pragma once

class QWidget;

namespace qm::qt {

// True when the right password was entered. `over` is the saver window (the prompt
// is centred on its screen), or nullptr.
bool RunPasswordPrompt(QWidget* over);

}  // namespace qm::qt
