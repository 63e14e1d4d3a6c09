#pragma once
// Where the shell's tests write their screenshots: build/screenshots/ of the
// build tree the test runs in (tests run in their module's build folder).

#include <QImage>

#include <filesystem>
#include <string>

inline std::filesystem::path ScreenshotFolder()
{
    std::filesystem::path folder = std::filesystem::current_path();
    while (!folder.empty() && !std::filesystem::exists(folder / "CMakeCache.txt")) {
        if (folder == folder.parent_path())
            return std::filesystem::temp_directory_path() / "plv-screenshots";
        folder = folder.parent_path();
    }
    return folder / "screenshots";
}

// Writes `image` as <name>.png; true when written.
inline bool SaveScreenshot(const QImage& image, const std::string& name)
{
    const std::filesystem::path folder = ScreenshotFolder();
    std::error_code ignored;
    std::filesystem::create_directories(folder, ignored);
    return image.save(QString::fromStdString((folder / (name + ".png")).string()));
}
