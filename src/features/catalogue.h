// The feature catalogue: every feature a tab shows, by ASCII name, with its option list.
//
// 251 rows ({name, first option record or null}) ended by a row whose name is
// empty.  The lists live in one block of storage that the catalogue owns; the model
// loaders rewrite some of them in place at attach (display names, reorders,
// refills), so each list has room for its built-in options in 144-byte records
// plus a terminator whatever its built-in record size.  Besides the rows, the
// catalogue keeps a few built-in lists that no row names (the alternative cover
// lists and the lists that the copy-protect and edge dialogs use), found with
// FindList.
//
// Rows whose list comes from the model package (PaperSize, OutPaperSize,
// MediaType, InTray, Resolution, DeviceOption, and SelectColor, TwoColors) start
// without a list; Bind points them at the model's lists.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace nvx::features {

// One catalogue row, as the UI item table and the engine hold it.
struct FeatureEntry {
    const char* name;   // NUL-terminated ASCII; "" ends the catalogue
    uint8_t* options;   // first option record, or null
};
static_assert(sizeof(FeatureEntry) == 2 * sizeof(void*));

inline constexpr size_t kCatalogueRows = 251;
inline constexpr size_t kTwoStateRows = 104;

class Catalogue {
public:
    Catalogue();
    Catalogue(const Catalogue&) = delete;
    Catalogue& operator=(const Catalogue&) = delete;

    // Lays every built-in list out again and unbinds the model's lists: the state
    // before attach adjusts anything.
    void Reset();

    // The rows, kCatalogueRows of them and the terminating row.
    const FeatureEntry* Rows() const { return rows_.data(); }
    // The row of a feature (exact, case-sensitive name), or null.
    const FeatureEntry* Find(std::string_view name) const;
    // The option list of a feature row or of a built-in list outside the rows, or null.
    uint8_t* FindList(std::string_view name);
    const uint8_t* FindList(std::string_view name) const;
    // Bytes of storage behind a built-in list (what an in-place refill may use), 0
    // for a list the catalogue does not own.
    size_t StorageBytes(const uint8_t* list) const;

    // Points a row at a list the model owns (or at null).  False for an unknown name.
    bool Bind(std::string_view name, uint8_t* list);

    // The cover rule: FrontCover_op gets {Blank_FCover 1, Print_S_FCover 2,
    // Print_D_FCover 3} when the model can print on a front cover, else
    // {Blank_FCover_PJL 4, Print_FCover_PJL 5}; BackCover_op likewise.  Answers the
    // default cover modes: the first value of each chosen list.
    struct CoverModes {
        int32_t front = 0;
        int32_t back = 0;
    };
    CoverModes ChooseCoverLists(bool frontCoverPrint, bool backCoverPrint);

private:
    struct Slot {
        const char* name;
        size_t offset;   // into storage_
        size_t bytes;    // storage behind the list
        bool hasList;
    };
    std::vector<uint8_t> storage_;
    std::vector<FeatureEntry> rows_;
    std::vector<Slot> slots_;        // one per row, then the lists outside the rows
    void Lay();
    const Slot* SlotOf(std::string_view name) const;
};

// The module's catalogue (built on first use; attach resets it).
Catalogue& TheCatalogue();

}  // namespace nvx::features
