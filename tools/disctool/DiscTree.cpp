#include "DiscTree.h"

#include <QStringDecoder>
#include <QStringList>

#include <algorithm>

namespace {
const QChar Separator = QLatin1Char('/');
// Links leading to links: as many as any sensible disc needs, and no loop goes on for ever.
constexpr int MaxLinkHops = 8;
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
    const Entry *blind = nullptr;
    for (const auto &entry : folder->children) {
        if (entry->name == name)
            return entry.get();
        if (!blind && entry->name.compare(name, Qt::CaseInsensitive) == 0)
            blind = entry.get();
    }
    return blind;
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
    for (int hop = 0; entry && entry->kind == Kind::Link; ++hop) {
        if (hop == MaxLinkHops || entry->target.startsWith(Separator))
            return nullptr;
        const Entry *at = entry->parent;
        for (const QString &name : entry->target.split(Separator, Qt::SkipEmptyParts)) {
            // Each step is taken as written: a disc's links are followed by the desktop, not the menu.
            const Entry *folder = Follow(at);
            at = nullptr;
            if (!folder || folder->kind != Kind::Folder)
                break;
            if (name == QStringLiteral(".") || name == QStringLiteral("..")) {
                at = name == QStringLiteral(".") ? folder : folder->parent;
            } else {
                const auto found = std::find_if(folder->children.cbegin(), folder->children.cend(),
                                                [&](const auto &c) { return c->name == name; });
                at = found == folder->children.cend() ? nullptr : found->get();
            }
            if (!at)
                break;
        }
        entry = at;
    }
    return entry;
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

std::optional<QString> DiscTree::JolietName(const Entry &) const
{
    return std::nullopt;
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
