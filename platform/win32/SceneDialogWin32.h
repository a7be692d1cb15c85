// The scene settings dialogs and the About box as Windows dialogs over the core's models.
#pragma once

#include <windows.h>

#include "setup/SceneDialog.h"

namespace qm::win32 {

// Runs the scene settings dialog `id` modally over `owner`; it stores its own settings.
void RunSceneDialog(HINSTANCE instance, HWND owner, SceneDialogId id);

// Runs the About box modally over `owner`.
void RunAboutBox(HINSTANCE instance, HWND owner);

}  // namespace qm::win32
