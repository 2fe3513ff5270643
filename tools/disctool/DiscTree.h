#pragma once

#include <QByteArray>
#include <QString>

#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>

// What the disc checker sees of a disc, read from a disc folder or from a disc image alike: its
// folders, files and links with their modes, names found as the menu finds them, and the bytes of
// a file read a bounded piece at a time.
class DiscTree
{
public:
    enum class Kind { File, Folder, Link, Other };
    // Why a link leads to no entry of the disc.
    enum class LinkFault { None, Nothing, OffDisc, Loop };

    struct Entry
    {
        QString name;
        Kind kind = Kind::Other;
        unsigned mode = 0; // permission bits
        qint64 size = 0;
        QString target; // where a link points, as written
        const Entry *parent = nullptr;
        std::vector<std::unique_ptr<Entry>> children; // of a folder, in name order
        qsizetype index = 0;                          // the source's own number for the entry
    };

    // Folders nested deeper than this are refused: no disc needs them, and every level costs work.
    static constexpr int MaxDepth = 64;
    // Discs holding more entries than this are refused.
    static constexpr int MaxEntries = 200000;
    // At most this many bytes of one file are read at once.
    static constexpr qint64 ChunkSize = 1 << 20;

    DiscTree();
    virtual ~DiscTree();
    DiscTree(const DiscTree &) = delete;
    DiscTree &operator=(const DiscTree &) = delete;

    const Entry &Root() const { return root_; }

    // The entry at path (relative to the root, '/' between names), found as the menu finds it: as
    // written, otherwise without regard to letter case; links to folders on the disc are followed
    // on the way. nullptr when there is none.
    const Entry *Find(const QString &path) const;

    // The entry a link leads to on the disc, each step taken as written, entry itself when it is no
    // link; nullptr when the link leads off the disc, to nothing or round a loop. Each link is
    // resolved once and remembered.
    const Entry *Follow(const Entry *entry) const;
    // Why Follow gives no entry for link; None when it gives one.
    LinkFault FaultOf(const Entry &link) const;
    // What the fault of link says, as the reason it cannot be read ("link loop").
    QString FaultText(const Entry &link) const;

    // What entry shows as to a program that opens it: a link as what it leads to.
    Kind Seen(const Entry &entry) const;
    bool Executable(const Entry &entry) const;

    // Up to length bytes of the file from offset (fewer at its end), a link read as what it leads
    // to. Raises EDiscError, saying why, when the file cannot be read.
    QByteArray Read(const Entry &file, qint64 offset, qint64 length) const;

    // The name Windows reads for entry (its Joliet name) where it differs from entry's own: empty
    // when Joliet does not hold it at all; nullopt when it is the same or the source cannot tell.
    virtual std::optional<QString> JolietName(const Entry &entry) const;

    // Whether the modes are those of a pressed disc (an image), not of a folder that is still to be
    // mastered with the modes a disc needs.
    virtual bool Pressed() const { return false; }

    // Every entry below folder (none for nullptr or what is no folder), the folders below it
    // entered, not those that links lead to.
    static std::vector<const Entry *> Below(const Entry *folder);

    // The path of entry relative to the root; "./" for the root.
    static QString PathOf(const Entry &entry);

    // A name's bytes as text, bytes that are not UTF-8 written as \xNN; empty when it is valid.
    static QString ShowInvalidName(const QByteArray &name);

protected:
    // Adds a new entry to folder (entries are added in any order and sorted by Sort()).
    Entry *Add(Entry *folder, const QString &name, Kind kind);
    void Sort();
    // Up to length bytes (at most ChunkSize) of a plain file from offset.
    virtual QByteArray readData(const Entry &file, qint64 offset, qint64 length) const = 0;
    Entry root_;

private:
    struct Resolution
    {
        const Entry *entry = nullptr;
        LinkFault fault = LinkFault::None;
    };

    const Entry *child(const Entry *folder, const QString &name) const;
    const Resolution &resolve(const Entry &link) const;

    mutable std::unordered_map<const Entry *, Resolution> links_; // each link resolved so far
};
