#pragma once
// What the project database needs from code that lives above it or beside
// it: the owned objects of an open project whose classes other subsystems
// define (fonts, page summary), the steps
// of opening a project that belong to them, the shell's status line and main
// window, and the program's bitmap library.
//
// The database never links those subsystems: each registers its part here at
// start-up (its Register...Services function), and the program's start-up
// installs the shell. A part that is not registered
// is left out: no object is made and its byte total stays 0. Tests register
// only what they exercise.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class adatabase;

// Owns one object of a class that the database only names (the database
// hands it out as a pointer to that class). The object is destroyed with the
// deleter of its own type, so no complete type is needed where it is held.
class OwnedPart {
public:
    OwnedPart() = default;
    template <class T>
    explicit OwnedPart(std::unique_ptr<T> object)
        : object_(object.release(), [](void* p) { delete static_cast<T*>(p); })
    {
    }
    void* get() const { return object_.get(); }
    explicit operator bool() const { return object_ != nullptr; }
    void reset() { object_.reset(); }

private:
    std::unique_ptr<void, void (*)(void*)> object_{nullptr, [](void*) {}};
};

// The shell's side: the status line's byte panes and the search for the
// size warning's window. Installed by the main frame (whose window handle is
// GetMainWindowHandle()).
class ProjectShell {
public:
    virtual ~ProjectShell() = default;
    // The status line's "Used Bytes" and "Free Bytes" panes.
    virtual void SetUsedText(const std::string& text) = 0;
    virtual void SetFreeText(const std::string& text) = 0;
    // Brings the window with this caption to the top; false when there is none.
    virtual bool BringWindowToTop(const std::string& caption) = 0;
};

struct PanelPoint {
    int x = 0;
    int y = 0;
    friend bool operator==(const PanelPoint&, const PanelPoint&) = default;
};

// The program's bitmap library, as far as project open and close use it.
// TQSBitmaps (tqs_bitmaps.h) is the program's; tests may put their own in
// the hooks.
class ProjectBitmapLibrary {
public:
    virtual ~ProjectBitmapLibrary() = default;
    virtual void ClearAll() = 0;
    // Loads the names and bitmaps of the open project.
    virtual void Load() = 0;
    // Writes "BITMAPS.NAM" into the open project's folder.
    virtual void WriteNameFile() = 0;
    // Makes a style from four bitmap files; its style number, or negative
    // when the library refuses (-2: full or a file unreadable).
    virtual int AddStyleFromFiles(const std::string (&files)[4]) = 0;
    virtual void SetStylePoints(int style, PanelPoint state0, PanelPoint state1) = 0;
};

// The program's one bitmap library (GetBitmapLibrary in tqs_bitmaps.h).
ProjectBitmapLibrary* ProgramBitmapLibrary();

struct ProjectHooks {
    // Graphic elements: the project's panel fonts (`fontmanager`), made when
    // the project opens, for its panel type.
    std::function<OwnedPart(adatabase& db, int panelType)> makeFontManager;

    // Page editor: the page-size summary (`tpsummary`), made when the project
    // opens; its total size becomes the byte total of the pages table.
    struct PageSummary {
        OwnedPart summary;
        std::uint32_t totalSize = 0;
    };
    std::function<PageSummary(adatabase& db)> makePageSummary;

    // Communications and panel settings: initialises the option-flags record
    // and writes it through the database of the global settings (which the
    // project creation points at the new project for the call).
    std::function<void()> writeDefaultOptionFlags;

    // The main frame's recipe groups with their use counts; installed while
    // the main frame exists.
    std::function<void(adatabase& db)> reloadRecipeGroups;

    // Program-wide objects; the caller keeps ownership.
    ProjectShell* shell = nullptr;
    ProjectBitmapLibrary* bitmapLibrary = ProgramBitmapLibrary();
};

// The one set of hooks. It is never destroyed, so the global settings object
// may still use it while the program's statics go away.
ProjectHooks& GetProjectHooks();
