// SPDX-License-Identifier: MIT
#pragma once

#include "app/MainF.h"
#include "toolkit/RzCommon.h"

#include <QRect>
#include <QRgb>

#include <cstddef>
#include <cstdint>
#include <utility>

// What the main window's description says of each component, and which description text goes in
// which of its boxes: the rows the window builds itself from, and the tools read.

namespace MainDescription {

enum class Kind { Image, Label, HotSpot, PageControl, Page, ImageList, Animator, RichEdit, ListBox };
enum class Align { None, Top, Client };

// Which description text goes in which box; the window loads the first five as it is built, the
// last each time the extra-files page is entered.
inline constexpr std::pair<const char *, const char *> DescriptionTexts[] = {
    {"Zip.txt", "edtZip"},   {"Flash.txt", "edtFlash"},   {"Acrobat.txt", "edtAcr"},
    {"Real.txt", "edtReal"}, {"Sample.txt", "memSample"}, {"Extra File.txt", "edtText"},
};
inline constexpr std::size_t TextsLoadedAtCreation = 5;

} // namespace MainDescription

// One component of the window description: what it is, where it sits, how it is set up and which
// handlers its events run.
struct TfrmMain::Row
{
    using Kind = MainDescription::Kind;
    using Align = MainDescription::Align;
    using Notify = void (TfrmMain::*)(QObject *sender);
    using MouseMove = void (TfrmMain::*)(QObject *sender, Qt::KeyboardModifiers shift, int x, int y);
    using DrawItem = void (TfrmMain::*)(QWidget *control, int index, const TRect &rect, TOwnerDrawState state);

    struct Settings
    {
        Align align = Align::None;
        // Built-in picture of a picture control, or built-in stream of an image list.
        const char *picture = nullptr;
        // Labels.
        const char *caption = nullptr;
        TAlignment alignment = taLeftJustify;
        const char *fontName = nullptr;
        int fontPixels = 0;
        bool bold = false;
        TTextStyle textStyle = tsNormal;
        // Image lists.
        QRgb bkColor = 0;
        // Animators.
        const char *imageList = nullptr;
        std::int32_t imageIndex = 0;
        bool animate = true;
        std::uint16_t delay = 100;
        bool handCursor = false;
        // The page control.
        const char *activePage = nullptr;
        // Framed text boxes and lists.
        int tabOrder = -1;
        bool readOnly = false;
        bool frameVisible = false;
        bool frameFlat = false;
        TFrameStyle frameStyle = fsFlat;
        TFrameStyle frameFlatStyle = fsStatus;
        TFrameStyle frameFocusStyle = fsLowered;
        TSides frameSides = TSides::All();
        TListBoxStyle style = lbStandard;
        int itemHeight = 16;
        // What screen readers call a hot spot or button.
        const char *accessibleName = nullptr;
        // The picture that lights up under a hot spot while the pointer is over it.
        const char *litPicture = nullptr;
    };

    struct Events
    {
        Notify onClick = nullptr;
        Notify onDblClick = nullptr;
        Notify onMouseEnter = nullptr;
        Notify onMouseLeave = nullptr;
        MouseMove onMouseMove = nullptr;
        DrawItem onDrawItem = nullptr;
    };

    const char *name;
    Kind kind;
    const char *parent; // none: the window itself
    QRect bounds;       // image lists: only the picture size counts
    int tag;
    Settings settings;
    Events events;
};
