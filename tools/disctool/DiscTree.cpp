#include "DiscTree.h"

#include <QStringDecoder>
#include <QStringList>

#include "EDiscError.h"
#include "ShownText.h"

#include <algorithm>
#include <deque>
#include <unordered_set>

namespace {
const QChar Separator = QLatin1Char('/');
// The names one link's target may take to resolve, those of the links it runs through included:
// more than the longest path a desktop follows holds, and no loop goes on for ever.
constexpr int MaxLinkSteps = 4096;
} // namespace

DiscTree::DiscTree()
{
    root_.kind = Kind::Folder;
    root_.mode = 0555;
}

DiscTree::~DiscTree() = default;

DiscTree::Entry *DiscTree::Add(Entry *folder, const QString &name, Kind kind)
{
    auto entry = std::make_unique<Entry>();
    entry->name = name;
    entry->kind = kind;
    entry->parent = folder;
    folder->children.push_back(std::move(entry));
    return folder->children.back().get();
}

void DiscTree::Sort()
{
    std::vector<Entry *> pending{&root_};
    while (!pending.empty()) {
        Entry *folder = pending.back();
        pending.pop_back();
        std::sort(folder->children.begin(), folder->children.end(),
                  [](const auto &a, const auto &b) { return a->name < b->name; });
        for (const auto &child : folder->children)
            pending.push_back(child.get());
    }
}

const DiscTree::Entry *DiscTree::child(const Entry *folder, const QString &name) const
{
    folder = Follow(folder);
    if (!folder || folder->kind != Kind::Folder)
        return nullptr;
    if (name == QStringLiteral("."))
        return folder;
    if (name == QStringLiteral(".."))
        return folder->parent; // nullptr above the root: off the disc
    const auto &children = folder->children;
    const auto exact = std::lower_bound(children.cbegin(), children.cend(), name,
                                        [](const auto &entry, const QString &key) { return entry->name < key; });
    if (exact != children.cend() && (*exact)->name == name)
        return exact->get();
    const auto blind = std::find_if(children.cbegin(), children.cend(), [&name](const auto &entry) {
        return entry->name.compare(name, Qt::CaseInsensitive) == 0;
    });
    return blind == children.cend() ? nullptr : blind->get();
}

const DiscTree::Entry *DiscTree::Find(const QString &path) const
{
    const Entry *entry = &root_;
    for (const QString &name : path.split(Separator, Qt::SkipEmptyParts)) {
        entry = child(entry, name);
        if (!entry)
            return nullptr;
    }
    return entry;
}

const DiscTree::Entry *DiscTree::Follow(const Entry *entry) const
{
    return entry && entry->kind == Kind::Link ? resolve(*entry).entry : entry;
}

DiscTree::LinkFault DiscTree::FaultOf(const Entry &link) const
{
    return link.kind == Kind::Link ? resolve(link).fault : LinkFault::None;
}

QString DiscTree::FaultText(const Entry &link) const
{
    switch (FaultOf(link)) {
    case LinkFault::None:
        break;
    case LinkFault::Nothing:
        return QStringLiteral("it is a link to nothing on the disc (%1)").arg(ShownText::Cut(link.target));
    case LinkFault::OffDisc:
        return QStringLiteral("it is a link that leads off the disc, to %1").arg(ShownText::Cut(link.target));
    case LinkFault::Loop:
        return QStringLiteral("link loop");
    }
    return {};
}

// A link's target is taken a name at a time; a link met on the way has its own names put in front
// of those still to come, and what it leads to is remembered once they are done. A link met again
// while its own names are still being taken runs through itself. Each step is taken as written: a
// disc's links are followed by the desktop, not the menu.
const DiscTree::Resolution &DiscTree::resolve(const Entry &link) const
{
    if (const auto known = links_.find(&link); known != links_.cend())
        return known->second;
    struct Step
    {
        QString name;
        const Entry *ends = nullptr; // the link whose names end here, with an empty name
    };
    std::deque<Step> steps;
    std::unordered_set<const Entry *> open;
    const Entry *at = nullptr;
    const auto enter = [&](const Entry &next) {
        if (next.target.isEmpty())
            return LinkFault::Nothing;
        if (next.target.startsWith(Separator))
            return LinkFault::OffDisc;
        if (!open.insert(&next).second)
            return LinkFault::Loop;
        steps.push_front({QString(), &next});
        const QStringList names = next.target.split(Separator, Qt::SkipEmptyParts);
        for (auto name = names.crbegin(); name != names.crend(); ++name)
            steps.push_front({*name});
        at = next.parent;
        return LinkFault::None;
    };
    LinkFault fault = enter(link);
    for (int taken = 0; fault == LinkFault::None && !steps.empty(); ++taken) {
        const Step step = steps.front();
        steps.pop_front();
        if (step.ends) {
            links_[step.ends] = {at};
            open.erase(step.ends);
            continue;
        }
        if (taken == MaxLinkSteps) {
            fault = LinkFault::Loop;
        } else if (at->kind != Kind::Folder) {
            fault = LinkFault::Nothing;
        } else if (step.name == QStringLiteral(".")) {
        } else if (step.name == QStringLiteral("..")) {
            at = at->parent;
            fault = at ? LinkFault::None : LinkFault::OffDisc;
        } else {
            const auto &children = at->children;
            const auto found =
                std::lower_bound(children.cbegin(), children.cend(), step.name,
                                 [](const auto &entry, const QString &key) { return entry->name < key; });
            const Entry *next = found != children.cend() && (*found)->name == step.name ? found->get() : nullptr;
            if (!next) {
                fault = LinkFault::Nothing;
            } else if (next->kind != Kind::Link) {
                at = next;
            } else if (const auto known = links_.find(next); known != links_.cend()) {
                at = known->second.entry;
                fault = known->second.fault;
            } else {
                fault = enter(*next);
            }
        }
    }
    // Every link still being followed leads where the outermost one does.
    for (const Entry *unfinished : open)
        links_[unfinished] = {nullptr, fault};
    return links_.try_emplace(&link, Resolution{nullptr, fault}).first->second;
}

DiscTree::Kind DiscTree::Seen(const Entry &entry) const
{
    const Entry *followed = Follow(&entry);
    return followed ? followed->kind : Kind::Other;
}

bool DiscTree::Executable(const Entry &entry) const
{
    const Entry *followed = Follow(&entry);
    return followed && followed->kind == Kind::File && (followed->mode & 0111) != 0;
}

QByteArray DiscTree::Read(const Entry &file, qint64 offset, qint64 length) const
{
    const Entry *data = Follow(&file);
    if (!data)
        throw EDiscError(FaultText(file));
    if (data->kind == Kind::Folder)
        throw EDiscError(QStringLiteral("it is a folder"));
    if (data->kind != Kind::File)
        throw EDiscError(QStringLiteral("not a file"));
    return readData(*data, offset, std::min(length, ChunkSize));
}

std::optional<QString> DiscTree::JolietName(const Entry &) const
{
    return std::nullopt;
}

std::vector<const DiscTree::Entry *> DiscTree::Below(const Entry *folder)
{
    std::vector<const Entry *> below;
    std::vector<const Entry *> pending;
    if (folder && folder->kind == Kind::Folder)
        pending.push_back(folder);
    while (!pending.empty()) {
        const Entry *at = pending.back();
        pending.pop_back();
        for (const auto &entry : at->children) {
            below.push_back(entry.get());
            if (entry->kind == Kind::Folder)
                pending.push_back(entry.get());
        }
    }
    return below;
}

QString DiscTree::PathOf(const Entry &entry)
{
    if (!entry.parent)
        return QStringLiteral("./");
    QStringList names;
    for (const Entry *at = &entry; at->parent; at = at->parent)
        names.prepend(at->name);
    return names.join(Separator);
}

QString DiscTree::ShowInvalidName(const QByteArray &name)
{
    const auto decodes = [](const QByteArray &bytes, QString *text) {
        QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        *text = decoder.decode(bytes);
        return !decoder.hasError() && !bytes.contains('\0');
    };
    QString whole;
    if (decodes(name, &whole))
        return {};
    // Each character that decodes is shown as itself, each byte that does not as \xNN.
    QString shown;
    for (qsizetype at = 0; at < name.size();) {
        qsizetype length = 1;
        QString character;
        while (length <= 4 && at + length <= name.size() && !decodes(name.mid(at, length), &character))
            ++length;
        if (length <= 4 && at + length <= name.size()) {
            shown += character;
            at += length;
        } else {
            shown += QStringLiteral("\\x") + QString::number(uchar(name.at(at)), 16).toUpper().rightJustified(2, u'0');
            ++at;
        }
    }
    return shown;
}
