#pragma once
// What the editor bases add to the main frame: Save All, Preferences, the
// Help menu's Current Topic (answered by the editor dialog that has the
// focus) and the templates of the preferences and dangling elements dialogs.
// Called at start-up, before the frame's window is made.

void RegisterEditorBases();
