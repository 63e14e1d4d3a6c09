#pragma once
// Reading printouts back: a PDF file checked and read with the PDF reader's
// command-line tools (pdfinfo, pdftotext, pdftoppm), as someone opening the
// file would see it.

#include <QImage>
#include <QString>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <string>

namespace pdf_pages {

inline std::string Run(const std::string& command)
{
    std::string out;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char buffer[4096];
        std::size_t n = 0;
        while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
            out.append(buffer, n);
        ::pclose(pipe);
    }
    return out;
}

inline std::string Quoted(const std::string& path)
{
    return "'" + path + "'";
}

// "%PDF-" at the start and "%%EOF" at the end.
inline bool LooksComplete(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::size_t end = bytes.find_last_not_of("\r\n");
    return bytes.rfind("%PDF-", 0) == 0 && end != std::string::npos && end >= 4 &&
           bytes.compare(end - 4, 5, "%%EOF") == 0;
}

// The page count the reader finds; -1 when it cannot read the file.
inline int PageCount(const std::string& path)
{
    const std::string info = Run("pdfinfo " + Quoted(path) + " 2>/dev/null");
    std::smatch match;
    if (!std::regex_search(info, match, std::regex(R"(Pages:\s+(\d+))")))
        return -1;
    return std::stoi(match[1]);
}

// The text of one page (1-based), lines as laid out.
inline std::string PageText(const std::string& path, int page)
{
    const std::string p = std::to_string(page);
    return Run("pdftotext -layout -f " + p + " -l " + p + " " + Quoted(path) + " - 2>/dev/null");
}

// One page rasterised at `dpi`.
inline QImage PageImage(const std::string& path, int page, int dpi)
{
    const std::filesystem::path prefix = std::filesystem::path(path).replace_extension();
    const std::string p = std::to_string(page);
    Run("pdftoppm -png -singlefile -r " + std::to_string(dpi) + " -f " + p + " -l " + p + " " + Quoted(path) + " " +
        Quoted(prefix.string() + "-page" + p));
    return QImage(QString::fromStdString(prefix.string() + "-page" + p + ".png"));
}

}  // namespace pdf_pages
