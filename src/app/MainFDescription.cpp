// SPDX-License-Identifier: MIT
#include "app/MainFDescription.h"

#include <QFont>

#include <algorithm>

using namespace MainDescription;

std::span<const TfrmMain::Row> TfrmMain::Description()
{
    // The lit pictures are visible here; creation hides them once the disc's artwork is painted.
    // clang-format off
    static const Row rows[] = {
        // The window.
        {"imgMainBack", Kind::Image, nullptr, {0, 0, 640, 480}, 0,
         {.align = Align::Top, .picture = "imgMainBack"},
         {.onMouseMove = &TfrmMain::pnlBackMouseMove}},
        {"lblCdRodNumber", Kind::Label, nullptr, {523, 135, 84, 18}, 0,
         {.caption = "CD-Rom 1", .alignment = taCenter, .fontName = "Arial", .fontPixels = 15, .bold = true},
         {}},
        {"imgQuit", Kind::Image, nullptr, {545, 276, 39, 55}, 0, {.picture = "imgQuit"}, {}},
        {"lblOverQuit", Kind::HotSpot, nullptr, {545, 275, 39, 55}, 0,
         {.accessibleName = "Quit", .litPicture = "imgQuit"},
         {.onClick = &TfrmMain::QuitClick, .onMouseEnter = &TfrmMain::lblOverQuitMouseEnter,
          .onMouseLeave = &TfrmMain::LitHotSpotMouseLeave}},
        {"lblOverLogo", Kind::HotSpot, nullptr, {268, 361, 107, 108}, 0,
         {.textStyle = tsRecessed, .accessibleName = "Credits"},
         {.onClick = &TfrmMain::lblLojoClick}},
        {"pgcBrindle", Kind::PageControl, nullptr, {35, 97, 486, 251}, 0,
         {.activePage = "tabSampleware", .tabOrder = 0}, {}},
        {"ilstExtraFiles", Kind::ImageList, nullptr, {0, 0, 214, 81}, 0,
         {.picture = "ilstExtraFiles", .bkColor = qRgb(239, 239, 239)}, {}},
        {"ilstSampleware", Kind::ImageList, nullptr, {0, 0, 214, 81}, 0,
         {.picture = "ilstSampleware", .bkColor = qRgb(0, 128, 0)}, {}},
        {"ilstOrder", Kind::ImageList, nullptr, {0, 0, 214, 81}, 0,
         {.picture = "ilstOrder", .bkColor = qRgb(214, 214, 214)}, {}},
        {"ilstToolBox", Kind::ImageList, nullptr, {0, 0, 214, 81}, 0,
         {.picture = "ilstToolBox", .bkColor = qRgb(214, 214, 214)}, {}},

        // The pages, in page-index order.
        {"tabMain", Kind::Page, "pgcBrindle", {}, 0, {}, {}},
        {"tabSampleware", Kind::Page, "pgcBrindle", {}, 0, {}, {}},
        {"tabIndex", Kind::Page, "pgcBrindle", {}, 0, {}, {}},
        {"tabToolBox", Kind::Page, "pgcBrindle", {}, 0, {}, {}},

        // The main page: four buttons, each with its caption strip; a button and its strip share a tag.
        {"imgMainScreen", Kind::Image, "tabMain", {0, 0, 486, 251}, 0,
         {.align = Align::Client, .picture = "imgMainScreen"},
         {.onMouseMove = &TfrmMain::pnlBackMouseMove}},
        {"lblOverExtraTab", Kind::HotSpot, "tabMain", {19, 132, 165, 19}, 1, {.accessibleName = "Extra files"},
         {.onClick = &TfrmMain::MainClick, .onMouseEnter = &TfrmMain::pnlMainButtonsMouseEnter}},
        {"lblOverSampleTab", Kind::HotSpot, "tabMain", {19, 14, 165, 19}, 2, {.accessibleName = "Sampleware"},
         {.onClick = &TfrmMain::MainClick, .onMouseEnter = &TfrmMain::pnlMainButtonsMouseEnter}},
        {"lblOverSoftwareTab", Kind::HotSpot, "tabMain", {253, 14, 165, 19}, 3, {.accessibleName = "Order form"},
         {.onClick = &TfrmMain::MainClick, .onMouseEnter = &TfrmMain::pnlMainButtonsMouseEnter}},
        {"lblOverToolboxTab", Kind::HotSpot, "tabMain", {254, 132, 165, 19}, 6, {.accessibleName = "Toolbox"},
         {.onClick = &TfrmMain::MainClick, .onMouseEnter = &TfrmMain::pnlMainButtonsMouseEnter}},
        {"anmMainSampleware", Kind::Animator, "tabMain", {19, 32, 214, 81}, 2,
         {.imageList = "ilstSampleware", .imageIndex = 0, .animate = false, .delay = 60, .handCursor = true,
          .accessibleName = "Sampleware"},
         {.onClick = &TfrmMain::MainClick, .onMouseEnter = &TfrmMain::pnlMainButtonsMouseEnter}},
        {"anmMainOrder", Kind::Animator, "tabMain", {253, 32, 214, 81}, 3,
         {.imageList = "ilstOrder", .imageIndex = 0, .animate = false, .delay = 60, .handCursor = true,
          .accessibleName = "Order form"},
         {.onClick = &TfrmMain::anmMainOrderClick, .onMouseEnter = &TfrmMain::pnlMainButtonsMouseEnter}},
        {"anmMainToolbox", Kind::Animator, "tabMain", {253, 150, 214, 81}, 6,
         {.imageList = "ilstToolBox", .imageIndex = 0, .animate = false, .delay = 60, .handCursor = true,
          .accessibleName = "Toolbox"},
         {.onClick = &TfrmMain::MainClick, .onMouseEnter = &TfrmMain::pnlMainButtonsMouseEnter}},
        {"anmMainTemplate", Kind::Animator, "tabMain", {19, 150, 214, 81}, 1,
         {.imageList = "ilstExtraFiles", .imageIndex = 33, .animate = false, .delay = 60, .handCursor = true,
          .accessibleName = "Extra files"},
         {.onClick = &TfrmMain::MainClick, .onMouseEnter = &TfrmMain::pnlMainButtonsMouseEnter}},

        // The sampleware page.
        {"imgSampleware", Kind::Image, "tabSampleware", {0, 0, 486, 251}, 0,
         {.align = Align::Client, .picture = "imgSampleware"},
         {.onMouseMove = &TfrmMain::GenMouseMove}},
        {"imgSample", Kind::Image, "tabSampleware", {28, 42, 214, 180}, 0, {.picture = "imgSample"}, {}},
        {"imgSampleBack", Kind::Image, "tabSampleware", {336, 202, 22, 22}, 0, {.picture = "imgLitBullet"}, {}},
        {"lblSamplewareBack", Kind::HotSpot, "tabSampleware", {336, 203, 121, 20}, 0,
         {.accessibleName = "Main Menu", .litPicture = "imgSampleBack"},
         {.onClick = &TfrmMain::BackToMainClick, .onMouseEnter = &TfrmMain::lblSamplewareBackMouseEnter,
          .onMouseLeave = &TfrmMain::LitHotSpotMouseLeave}},
        {"imgArrow", Kind::Image, "tabSampleware", {264, 141, 22, 27}, 0, {.picture = "imgArrow"}, {}},
        {"lblOverInstall", Kind::HotSpot, "tabSampleware", {253, 130, 45, 45}, 0,
         {.accessibleName = "Install the sample program", .litPicture = "imgArrow"},
         {.onClick = &TfrmMain::lblOverInstallClick, .onMouseEnter = &TfrmMain::lblOverInstallMouseEnter,
          .onMouseLeave = &TfrmMain::LitHotSpotMouseLeave}},
        {"memSample", Kind::RichEdit, "tabSampleware", {254, 41, 204, 79}, 0,
         {.tabOrder = 0, .readOnly = true, .frameVisible = true, .frameFlat = true,
          .frameFlatStyle = fsFlat, .frameFocusStyle = fsFlat, .frameSides = {}},
         {}},

        // The extra-files page.
        {"imgExtraFiles", Kind::Image, "tabIndex", {0, 0, 486, 251}, 0,
         {.align = Align::Client, .picture = "imgExtraFiles"},
         {.onMouseMove = &TfrmMain::GenMouseMove}},
        {"imgExtraBack", Kind::Image, "tabIndex", {336, 202, 22, 22}, 0, {.picture = "imgLitBullet"}, {}},
        {"lblExtraBack", Kind::HotSpot, "tabIndex", {336, 204, 121, 19}, 0,
         {.accessibleName = "Main Menu", .litPicture = "imgExtraBack"},
         {.onClick = &TfrmMain::BackToMainClick, .onMouseEnter = &TfrmMain::lblExtraBackMouseEnter,
          .onMouseLeave = &TfrmMain::LitHotSpotMouseLeave}},
        {"imgHelp", Kind::Image, "tabIndex", {29, 202, 22, 22}, 0, {.picture = "imgLitBullet"}, {}},
        {"lblExtraFileHelp", Kind::HotSpot, "tabIndex", {30, 204, 149, 19}, 0,
         {.accessibleName = "Help on extra files", .litPicture = "imgHelp"},
         {.onClick = &TfrmMain::lblExtraFileHelpClick, .onMouseEnter = &TfrmMain::lblExtraFileHelpMouseEnter,
          .onMouseLeave = &TfrmMain::LitHotSpotMouseLeave}},
        {"edtText", Kind::RichEdit, "tabIndex", {28, 41, 214, 133}, 0,
         {.tabOrder = 0, .readOnly = true, .frameVisible = true, .frameFlat = true,
          .frameFlatStyle = fsFlat, .frameFocusStyle = fsFlat, .frameSides = {}},
         {}},
        {"lbxTemplate", Kind::ListBox, "tabIndex", {254, 41, 205, 133}, 0,
         {.tabOrder = 1, .frameVisible = true, .frameFlat = true, .frameStyle = fsStatus, .frameSides = {},
          .style = lbOwnerDrawFixed, .itemHeight = 28},
         {.onDblClick = &TfrmMain::lbxTemplateDblClick, .onDrawItem = &TfrmMain::lbxTemplateDrawItem}},

        // The toolbox page: a hot spot's tag is its tool's number.
        {"imgToolbox", Kind::Image, "tabToolBox", {0, 0, 486, 251}, 0,
         {.align = Align::Client, .picture = "imgToolbox"},
         {.onMouseMove = &TfrmMain::GenMouseMove}},
        {"imgToolBack", Kind::Image, "tabToolBox", {336, 202, 22, 22}, 0, {.picture = "imgLitBullet"}, {}},
        {"lblOverWinZip", Kind::HotSpot, "tabToolBox", {35, 41, 46, 45}, 1, {.accessibleName = "Install WinZip"},
         {.onClick = &TfrmMain::InstallToolClick}},
        {"lblOverFlash", Kind::HotSpot, "tabToolBox", {35, 97, 46, 45}, 2, {.accessibleName = "Install Flash"},
         {.onClick = &TfrmMain::InstallToolClick}},
        {"lblOverAcrobat", Kind::HotSpot, "tabToolBox", {253, 41, 46, 45}, 3, {.accessibleName = "Install Acrobat"},
         {.onClick = &TfrmMain::InstallToolClick}},
        {"lblOverReal", Kind::HotSpot, "tabToolBox", {253, 97, 46, 45}, 4, {.accessibleName = "Install Real"},
         {.onClick = &TfrmMain::InstallToolClick}},
        {"lblToolboxBack", Kind::HotSpot, "tabToolBox", {336, 203, 121, 22}, 0,
         {.accessibleName = "Main Menu", .litPicture = "imgToolBack"},
         {.onClick = &TfrmMain::BackToMainClick, .onMouseEnter = &TfrmMain::lblToolboxBackMouseEnter,
          .onMouseLeave = &TfrmMain::LitHotSpotMouseLeave}},
        {"edtAcr", Kind::RichEdit, "tabToolBox", {308, 40, 150, 46}, 0,
         {.tabOrder = 0, .readOnly = true, .frameVisible = true, .frameFlat = true,
          .frameFlatStyle = fsFlat, .frameFocusStyle = fsFlat},
         {}},
        {"edtZip", Kind::RichEdit, "tabToolBox", {92, 41, 150, 45}, 0,
         {.tabOrder = 1, .readOnly = true, .frameVisible = true, .frameFlat = true,
          .frameFlatStyle = fsFlat, .frameFocusStyle = fsFlat},
         {}},
        {"edtFlash", Kind::RichEdit, "tabToolBox", {92, 97, 150, 45}, 0,
         {.tabOrder = 2, .readOnly = true, .frameVisible = true, .frameFlat = true,
          .frameFlatStyle = fsFlat, .frameFocusStyle = fsFlat},
         {}},
        {"edtReal", Kind::RichEdit, "tabToolBox", {308, 96, 150, 46}, 0,
         {.tabOrder = 3, .readOnly = true, .frameVisible = true, .frameFlat = true,
          .frameFlatStyle = fsFlat, .frameFocusStyle = fsFlat},
         {}},
    };
    // clang-format on
    return rows;
}

const TfrmMain::Row &TfrmMain::DescribedRow(const char *name)
{
    const std::span<const Row> rows = Description();
    const auto found =
        std::find_if(rows.begin(), rows.end(), [name](const Row &row) { return qstrcmp(row.name, name) == 0; });
    Q_ASSERT(found != rows.end());
    return *found;
}

QList<TfrmMain::TextPlace> TfrmMain::TextPlaces()
{
    QList<TextPlace> places;
    for (const auto &[file, box] : DescriptionTexts) {
        const Row &row = DescribedRow(box);
        // A page fills its page control, so a box on a page lies at the page control's place plus its own.
        const Row &page = DescribedRow(row.parent);
        const QPoint origin = page.parent ? DescribedRow(page.parent).bounds.topLeft() : QPoint();
        places.append({QLatin1String(file), QLatin1String(box), row.bounds.translated(origin)});
    }
    return places;
}

QFont TfrmMain::WindowFont()
{
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPixelSize(11);
    return font;
}
