// The scene settings dialogs and the About box as Windows dialogs over the core's models.
#pragma once

#include <windows.h>

#include "HostWin32.h"
#include "setup/SceneDialog.h"

namespace qm::win32 {

// Runs the scene settings dialog `id` modally over `owner`; it stores its own settings.
void RunSceneDialog(HINSTANCE instance, HWND owner, SceneDialogId id);

// The About box, modal over `owner`. While it is open, `host`'s shell requests and its
// message box belong to it; afterwards they go back to `owner`.
void RunAboutBox(HINSTANCE instance, HWND owner, HostWin32& host);

}  // namespace qm::win32
