#pragma once

#include <QHash>
#include <QString>

#include <memory>
#include <utility>
#include <vector>

// Keys compared with Unicode case folding: "Äpfel" and "äpfel" are one key.
struct TUnicodeCaseFold {
    static QString Fold(const QString &key) { return key.toCaseFolded(); }
};

// An ordered list of keyed entries that owns its items. Entries keep insertion order and
// any key; a hash index on the key, compared without regard to letter case as KeyFold
// folds it, finds the first entry of a key. Items live behind stable pointers, so views
// (tree nodes, checked lists) may point at them for as long as the list holds them.
template <typename T, typename KeyFold = TUnicodeCaseFold> class THashedList {
public:
    struct Entry {
        QString Key;
        std::unique_ptr<T> Item;
    };

    int Count() const { return static_cast<int>(FEntries.size()); }
    bool IsEmpty() const { return FEntries.empty(); }

    const QString &Key(int index) const { return FEntries.at(static_cast<size_t>(index)).Key; }
    T *At(int index) const { return FEntries.at(static_cast<size_t>(index)).Item.get(); }

    // Appends an item under a key; the list takes ownership. Returns the item.
    T *Add(const QString &key, std::unique_ptr<T> item) {
        T *raw = item.get();
        const QString folded = KeyFold::Fold(key);
        if (!FIndex.contains(folded)) {
            FIndex.insert(folded, Count());
        }
        FEntries.push_back(Entry{key, std::move(item)});
        return raw;
    }

    // The first item whose key equals the given one, letter case ignored; null if none.
    T *Find(const QString &key) const {
        const auto found = FIndex.constFind(KeyFold::Fold(key));
        return found == FIndex.constEnd() ? nullptr : At(found.value());
    }

    auto begin() const { return FEntries.begin(); }
    auto end() const { return FEntries.end(); }

private:
    std::vector<Entry> FEntries;
    QHash<QString, int> FIndex;
};
