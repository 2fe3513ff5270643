#pragma once

#include <QColor>
#include <QImage>
#include <QString>

#include <array>
#include <cstdint>

class TImage;

// Which disc this is and where its folders are, worked out once from the program's own path.
struct DiscContext
{
    std::int32_t DiscNumber = 0;
    QString AppFolder;
    std::uint8_t ColourIndex = 0;
    QString InterfaceFolder;

    // The context of a program stored at programPath; raises EConvertError for a digit run
    // above 2147483647.
    static DiscContext FromProgramPath(const QString &programPath);
};

// The disc's folders, relative to AppFolder.
enum class DiscFolder {
    Interface,
    SamplePics,
    TextFiles,
    Templates,
    Images,
    Sounds,
    Sample,
    ToolBox,
    WebFiles,
};

namespace GlobalsU {

// The colour schemes, indexed by ColourIndex: the scheme's folder under Files/Interface/ and the
// colour of the disc label.
extern const std::array<const char *, 4> ColourFolders;
extern const std::array<QColor, 4> LabelColours;

// The disc context. Set once by start-up before any window exists (tests set their own disc).
const DiscContext &Context();
void SetContext(const DiscContext &context);
void InitDiscContext(const QString &programPath);

inline std::int32_t DiscNumber()
{
    return Context().DiscNumber;
}
inline const QString &AppFolder()
{
    return Context().AppFolder;
}
inline std::uint8_t ColourIndex()
{
    return Context().ColourIndex;
}
inline const QString &InterfaceFolder()
{
    return Context().InterfaceFolder;
}

// The disc folder relative to AppFolder, with the system's separator and ending in it
// ("Files/Text Files/", on Windows "Files\Text Files\").
QString FolderOf(DiscFolder folder);
// The folder of toolbox program n (1 to 4): "Files/ToolBox/Tool<n>/" with the system's separator.
QString ToolFolder(int tool);
// AppFolder followed by a disc folder and an optional file name.
QString DiscFile(DiscFolder folder, const QString &fileName = {});

// The number written by all the decimal digits of text, in order; no digits give 0.
std::int32_t DigitsToNumber(const QString &text);

// The text without surrounding blanks and control characters, with one separator appended when
// it is not empty and does not already end with one.
QString WithTrailingBackslash(const QString &text);

// The window-show code every caller passes.
inline constexpr int SW_SHOWNORMAL = 1;

// Opens a file or folder with the desktop's default action, or with parameters starts the program
// with them, and returns at once; failures are silent.
void ShellRun(const QString &fileName, const QString &parameters, const QString &folder, int showMode);

// Paints a Windows bitmap file over the picture control's bitmap at (0, 0), at its own size.
// Raises EFOpenError or EInvalidGraphic and leaves the picture unchanged on failure.
void PaintBitmapFile(TImage &image, const QString &fileName);
// The parts of PaintBitmapFile, for a file read away from the window: reading its bytes (raises
// EFOpenError), decoding them (raises EInvalidGraphic), both safe on any thread, and painting what
// was decoded.
QByteArray ReadDiscFile(const QString &fileName);
QImage DecodeBitmap(const QByteArray &data);
QImage ReadBitmapFile(const QString &fileName);
void PaintBitmap(TImage &image, const QImage &bitmap);

} // namespace GlobalsU
