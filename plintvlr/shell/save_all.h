#pragma once
// TSavable: what an editor that keeps a current record offers the main
// frame's Save All: whether it holds unsaved changes, and saving them.

class TWindow;

class TSavable {
public:
    virtual bool IsModified() = 0;
    virtual void Save() = 0;

protected:
    ~TSavable() = default;
};

// The editors the client carries, in child order: a child that is itself a
// TSavable, else the editor its host carries when that is one.
bool AnyEditorModified(TWindow& client);
void SaveEveryEditor(TWindow& client);

// Save All (3003) as a frame command: enabled with a project open while an
// editor holds changes; saves every editor.
void RegisterSaveAll();
