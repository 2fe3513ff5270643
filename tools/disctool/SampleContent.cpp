// SPDX-License-Identifier: GPL-2.0-or-later
#include "SampleContent.h"

#include "SampleMedia.h"
#include "SampleTemplates.h"
#include "SampleTexts.h"

#include "app/GlobalsU.h"

namespace SampleContent {

QList<File> Files(std::int32_t discNumber, bool media)
{
    QList<File> files;
    const auto add = [&files](DiscFolder folder, const QString &name, Kind kind, const QByteArray &content) {
        files.append({GlobalsU::FolderOf(folder) + name, kind, content});
    };
    for (const SampleTexts::File &text : SampleTexts::Descriptions())
        add(DiscFolder::TextFiles, text.name, Kind::Text, text.content);
    for (const SampleTemplates::File &file : SampleTemplates::Files())
        add(DiscFolder::Templates, file.name, Kind::Template, file.content);
    for (const SampleMedia::File &picture : media ? SampleMedia::Pictures() : QList<SampleMedia::File>())
        add(DiscFolder::Images, picture.name, Kind::Picture, picture.content);
    for (const SampleMedia::File &sound : media ? SampleMedia::Sounds() : QList<SampleMedia::File>())
        add(DiscFolder::Sounds, sound.name, Kind::Sound, sound.content);
    const QString setup = QStringLiteral("Setup.exe");
    add(DiscFolder::Sample, setup, Kind::Installer, SampleTexts::SetupPlaceholder(0));
    for (int tool = 1; tool <= 4; ++tool)
        files.append({GlobalsU::ToolFolder(tool) + setup, Kind::Installer, SampleTexts::SetupPlaceholder(tool)});
    add(DiscFolder::WebFiles, QStringLiteral("Order.html"), Kind::WebPage, SampleTexts::OrderPage());
    add(DiscFolder::WebFiles, QStringLiteral("Help.html"), Kind::WebPage, SampleTexts::HelpPage(discNumber));
    return files;
}

bool StandsIn(Kind kind)
{
    return kind != Kind::Picture && kind != Kind::Sound;
}

QString Described(Kind kind)
{
    switch (kind) {
    case Kind::Text:
        return QStringLiteral("the sample disc's description text");
    case Kind::Template:
        return QStringLiteral("the sample disc's template");
    case Kind::Picture:
        return QStringLiteral("the sample disc's clip art");
    case Kind::Sound:
        return QStringLiteral("the sample disc's sound");
    case Kind::Installer:
        return QStringLiteral("the sample disc's stand-in installer, which installs nothing");
    case Kind::WebPage:
        return QStringLiteral("the sample disc's web page");
    }
    return {};
}

} // namespace SampleContent
