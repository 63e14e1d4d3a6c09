#pragma once
// Shared by the drawing tests: the application the fonts and printers need
// (a widget application where PLV_GDI_TEST_WIDGETS is defined first),
// small white canvases, and pictures of pixels as text so that expected
// results are written out by hand ('.' white, '#' black, other letters as a
// legend says).

#include <QGuiApplication>
#include <QImage>
#ifdef PLV_GDI_TEST_WIDGETS
#include <QApplication>
#endif

#include <gtest/gtest.h>

#include <map>
#include <string>

class GuiAppEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        if (!qGuiApp) {
            // Headless whatever the environment says (and no desktop theme).
            qputenv("QT_QPA_PLATFORM", "offscreen");
            qunsetenv("QT_QPA_PLATFORMTHEME");
            static int argc = 1;
            static char name[] = "gdi_test";
            static char* argv[] = {name, nullptr};
#ifdef PLV_GDI_TEST_WIDGETS
            app_ = new QApplication(argc, argv);  // the print dialogs are widgets
#else
            app_ = new QGuiApplication(argc, argv);
#endif
        }
    }

private:
    QGuiApplication* app_ = nullptr;
};

inline ::testing::Environment* const kGuiAppEnvironment = ::testing::AddGlobalTestEnvironment(new GuiAppEnvironment);

inline QImage Canvas(int width, int height, QRgb color = 0xFFFFFFFFu)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(color);
    return image;
}

// Rows joined by '\n'; each pixel one character.
inline std::string Picture(const QImage& image, const std::map<QRgb, char>& legend = {})
{
    std::string out;
    for (int y = 0; y < image.height(); ++y) {
        if (y)
            out += '\n';
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y) | 0xFF000000u;
            const auto it = legend.find(p);
            if (it != legend.end())
                out += it->second;
            else if (p == 0xFFFFFFFFu)
                out += '.';
            else if (p == 0xFF000000u)
                out += '#';
            else
                out += '?';
        }
    }
    return out;
}

// The expected picture given as one string per row.
inline std::string Rows(std::initializer_list<const char*> rows)
{
    std::string out;
    for (const char* r : rows) {
        if (!out.empty())
            out += '\n';
        out += r;
    }
    return out;
}
