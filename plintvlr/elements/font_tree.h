#pragma once
// The panel fonts installed on this machine: the registered faces of the
// panel fonts' character set (250), each matched with its .fnt file in the
// program folder's "font" folder. One program-wide object, made on first use
// and freed when the main frame goes; it reflects the fonts and files there
// were when it was made.
//
// Panel font files carry the older tool's face names; the program shows them
// under its own (ToShownName / ToFileName).

#include <cstddef>
#include <string>
#include <vector>

class TWindow;

inline constexpr int kPanelFontCharSet = 250;

class fonttree {
public:
    static constexpr std::size_t kMaxFaces = 199;

    struct Face {
        std::string face;
        std::string file;  // absolute path; empty when the face has no file
        int cellWidth = 0;
        int cellHeight = 0;
        std::size_t fileSize = 0;
    };

    // Enumerates the registered faces and reads the font folder's files.
    explicit fonttree(TWindow* window = nullptr);
    virtual ~fonttree() = default;

    const std::vector<Face>& Faces() const { return faces_; }
    // The entry of a face, null when it is not installed.
    const Face* Find(const std::string& face) const;
    const std::string& GetFontFolder() const { return folder_; }

private:
    void ReadFontFolder();

    std::vector<Face> faces_;
    std::string folder_;
};

// The program's font tree, made on first use.
fonttree& GetFontTree();
// Frees it (the main frame's set-up and destruction); the next use makes a new one.
void FreeFontTree();
bool HasFontTree();

// The shown name of a file face and back; other names pass unchanged. False,
// leaving the name, when the result would not fit `size` characters with its NUL.
bool ToShownName(std::string& name, std::size_t size = 256);
bool ToFileName(std::string& name, std::size_t size = 256);
